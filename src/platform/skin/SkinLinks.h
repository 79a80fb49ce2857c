#pragma once

#include <QStringList>

class QObject;

namespace skin {

// A form description cannot set an object-valued property, so it names the skin data store
// instead: a string property "<Link>Name" beside a writable TbsSkinData * property "<Link>"
// (SkindateName for Skindate, SkinDataName for SkinData, CtrlSkinDataName for CtrlSkinData).
// After loading, this links every such pair in `root` and below it to the TbsSkinData of that
// object name in the same tree, much as Designer resolves a label's buddy. Returns the names
// that named no store; those links stay empty and their objects keep the plain look.
QStringList resolveLinks(QObject *root);

} // namespace skin
