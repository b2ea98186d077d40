#include "graphs3d/views/ViewClock.h"

#include "CoreUtilities/OurTime.h"

ViewClock gViewClock{OurGetMicroseconds, OurTime};
