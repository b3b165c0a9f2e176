#include "framework/assets/TextLock.h"

// Held around image-font text drawing.
Fw::CritSect gTextLock;
