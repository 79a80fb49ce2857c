#pragma once

#include <QImage>

// The four connection-form diagrams, 200 x 200, black on white with green weld symbols.
namespace pictures {

enum class Joint {
    SingleFillet, // T-joint, fillet weld on one side
    DoubleFillet, // T-joint, fillet welds on both sides
    Butt, // plates end to end
    Lap, // plates overlapping, fillet welds at both ends of the overlap
};

QImage diagram(Joint joint);

} // namespace pictures
