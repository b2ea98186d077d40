#include "CoreUtilities/memory/MemoryBudget.h"
#include "app/Base64.h"
#include "app/TextureCoding.h"
#include "platform/OurPicture.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

namespace {

char* Budgeted(const std::string& text) {
  char* bytes = static_cast<char*>(OurAllocateMemory(text.size() + 1, false));
  std::memcpy(bytes, text.data(), text.size());
  return bytes;
}

TEST(TextureCoding, Base64MatchesTheStandardVectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(EncodeBase64(reinterpret_cast<const uint8_t*>(plain), std::strlen(plain)), encoded);
    const auto decoded = DecodeBase64(encoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::string(decoded->begin(), decoded->end()), plain);
  }
  for (const char* bad : {"Zg=", "Z===", "Zg==Zg==", "Zm9*"}) EXPECT_FALSE(DecodeBase64(bad)) << bad;
}

TEST(TextureCoding, DecodesAsQtDoesAndRoundTrips) {
  const std::string png = Golden("test_card.png");
  QImage reference;
  ASSERT_TRUE(reference.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG"));
  reference = reference.convertToFormat(QImage::Format_ARGB32);
  const std::string base64 = EncodeBase64(reinterpret_cast<const uint8_t*>(png.data()), png.size());
  OurPicture* picture = CoreDecodeTexture(Budgeted(base64), int32_t(base64.size()));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->image, reference);
  EXPECT_EQ(picture->frame, reference.rect());

  const std::string again = EncodeTexture(picture);
  OurPicture* decoded = CoreDecodeTexture(Budgeted(again), int32_t(again.size()));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->image, picture->image);
  delete decoded;
  delete picture;
}

TEST(TextureCoding, RefusesWhatIsNoPicture) {
  EXPECT_EQ(CoreDecodeTexture(Budgeted("QUJD"), 4), nullptr);           // "ABC"
  EXPECT_EQ(CoreDecodeTexture(Budgeted("iVBORw0KGgo="), 12), nullptr);  // a PNG signature, cut
  EXPECT_EQ(CoreDecodeTexture(nullptr, 0), nullptr);
  EXPECT_EQ(EncodeTexture(nullptr), "");
}

}  // namespace
