// The process-wide text lock: held for the whole of every image-font draw, whose glyph record
// table is shared by all image fonts. Recursive, so a draw may nest inside another holder.
#pragma once
#include "framework/core/CritSect.h"

extern Fw::CritSect gTextLock;
