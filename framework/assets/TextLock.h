// The process-wide text lock: held for the whole of every image-font draw, whose glyph record
// table is shared by all image fonts. Recursive, so a draw may nest inside another holder.
// Defined with the other process-wide objects in framework/core/ProgramGlobals.cpp.
#pragma once
#include "framework/core/CritSect.h"

extern Fw::CritSect gTextLock;
