#include "graphs3d/ViewClock.h"

#include "CoreUtilities/OurTime.h"

ViewClock gViewClock{OurGetMicroseconds, OurTime};
