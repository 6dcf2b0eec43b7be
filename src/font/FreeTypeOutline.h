// FreeType outlines written in the native outline layout.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "common/Bytes.h"
#include "font/NativeOutline.h"

namespace tarvenox {

// Walks the outline (26.6 pixels, y upwards) with FT_Outline_Decompose, so its rules
// hold: a contour may start on a conic control point, two consecutive conic points
// imply an on-curve point between them, a contour of one point is kept. Each contour
// becomes a polygon of line and quadratic spline records in 16.16 fixed point, every
// point transformed by matrix:
// - consecutive conic segments joined at an implied midpoint share one spline record
//   without that midpoint, as the native layout stores them;
// - the closing line back to the start point is left out, since a reader of the
//   layout closes every polygon itself;
// - cubic segments (CFF fonts) are approximated by quadratic ones within 1/64 pixel,
//   because the glyph model holds only lines and quadratic curves.
// An outline that FreeType finds invalid gives an empty buffer.
Bytes outlineToNative(const FT_Outline& outline, const OutlineMatrix& matrix);

}  // namespace tarvenox
