#include "CoreUtilities/text/MessageTable.h"

#include "CoreUtilities/text/DemoScripts.h"
#include "CoreUtilities/text/InternedStrings.h"

#include <iterator>

namespace {

// English keys by message id; null where an id has no message. Ids 50 to
// 59 are the demo scripts.
constexpr const char* kMessageKeys[] = {
    /* 1 */ "Undefined in the region shown",
    /* 2 */ "Undefined or infinite in the region shown",
    /* 3 */ "Undefined in the domain shown",
    /* 4 */ "Infinite in the domain shown",
    /* 5 */ "Curve is outside the region shown",
    /* 6 */ "Not satisfied anywhere",
    /* 7 */ "Not satisfied in the region shown",
    /* 8 */ "False everywhere",
    /* 9 */ "False in the region shown",
    /* 10 */ "Undefined or constant throughout the region shown",
    /* 11 */ "Undefined or infinite for the coordinate ranges given",
    /* 12 */ "Not satisfied in the coordinate ranges given",
    /* 13 */ "No surface found in the coordinate ranges given",
    /* 14 */ "Can't graph equations of this form",
    /* 15 */ "Can't graph equations with question marks",
    /* 16 */ "Parameter 't' can only be used in parametric curves",
    /* 17 */ "Parameters 'u' and 'v' can only be used in parametric surfaces",
    /* 18 */ "Can't graph equations using multiple coordinate systems",
    /* 19 */ "Can't graph 2D inequalities in 3D",
    /* 20 */ "Can't graph 2D vectors in 3D",
    /* 21 */ "A condition after the comma is not appropriate here",
    /* 22 */ "No equation to graph. Try 'y = x'",
    /* 23 */ "Can't parse condition after the comma",
    /* 24 */ "Can't graph this in 3D",
    /* 25 */ "Can't graph this in 4D",
    /* 26 */ "Thinking...",
    /* 27 */ "Graphing...",
    /* 28 */ "To exit the exponent, press the right arrow.",
    /* 29 */ "To exit the fraction, press the right arrow.",
    /* 30 */ "Use \"y\" instead of \"f(x)\".",
    /* 31 */ "false",
    /* 32 */ "true",
    /* 33 */ "infinity",
    /* 34 */ "not a number",
    /* 35 */ "[false, true]",
    /* 36 */
    "There is not enough memory available to draw the requested graph. Quitting other applications may enable the "
    "graph to be drawn.",
    /* 37 */
    "The graph cannot be drawn properly because the expression exceeds the limits of IEEE double-precision 64-bit "
    "floating point values.\r\rChoose Reset Graph from the Graph menu.",
    /* 38 */ nullptr,
    /* 39 */ "Can't create movie file.",
    /* 40 */
    "Sorry, there is not enough memory for rendering with transparency. Try quitting other applications or reducing "
    "the resolution of the graph. Then choose \"Use Transparency\" from the Graph Menu.",
    /* 41 */ "Sorry, Zentrolab does not recognize this file. It was either damaged or it is not a Zentrolab file.",
    /* 42 */ "Sorry, Zentrolab was unable to open this file.",
    /* 43 */ "Zentrolab was unable to save this file because the disk is full.",
    /* 44 */ "Zentrolab was unable to save this file because the disk is locked.",
    /* 45 */ "Sorry, Zentrolab was unable to save this file.",
    /* 46 */ nullptr,
    /* 47 */
    "This document cannot be opened because it was created by a newer version of Zentrolab.\r\rPlease visit the "
    "Zentrolab web site for information on updating the software.",
    /* 48 */
    "This picture was created by a newer version of Zentrolab.\r\rTo import it you would need to use Zentrolab Version "
    "3 to read it and then save it out again.",
    /* 49 */ nullptr,
    /* 50 */ kDemoScript50,
    /* 51 */ kDemoScript51,
    /* 52 */ "",
    /* 53 */ kDemoScript53,
    /* 54 */ kDemoScript54,
    /* 55 */ kDemoScript55,
    /* 56 */ "",
    /* 57 */ kDemoScript57,
    /* 58 */ kDemoScript58,
    /* 59 */ kDemoScript59,
};

}  // namespace

const UniChar* OurGetLocalizedString(int32_t messageId) {
  constexpr int32_t kLastId = static_cast<int32_t>(std::size(kMessageKeys));
  const char* key = messageId >= 1 && messageId <= kLastId ? kMessageKeys[messageId - 1] : nullptr;
  if (!key) return OurInternCString("Internal Error");
  return OurLocalizedStringFromKey(key);
}
