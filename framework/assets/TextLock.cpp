// Definition of the process-wide text lock.
#include "framework/assets/TextLock.h"

Fw::CritSect gTextLock;
