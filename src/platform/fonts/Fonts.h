#pragma once

// The window asks for the faces its design names: "宋体" for Chinese text and "Times New Roman"
// for the report. Where those faces are not installed, these substitutes stand in: a Song-style
// CJK face and a metric-compatible serif. Idempotent; needs a QGuiApplication.
namespace fonts {

void installSubstitutes();

} // namespace fonts
