// The font maker: a bitmap font made from DejaVu Sans loads, measures with the font's kerning
// and draws a string that matches a golden image.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "resources/ImageLib.h"
#include "tests/graphics/FontTestSupport.h"
#include "tests/graphics/TestImages.h"
#include "tools/mkfont/FontMaker.h"

namespace Velm {
namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kGolden[] = VELM_TEST_DATA_DIR "/mkfont_dejavu14.png";

// Loads layer images from the disk.
class FileFontHost : public FontHost {
public:
    std::vector<std::string> popups;

    ~FileFontHost() override {
        for (auto& record : records) delete record->image;
    }
    SharedImageHandle GetSharedImage(const std::string& path, const std::string&, bool* isNew) override {
        std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(path, false));
        *isNew = false;
        if (!picture) return SharedImageHandle();
        auto record = std::make_unique<SharedImage>();
        record->image = new MemoryImage(static_cast<ImageHost*>(nullptr));
        record->image->SetBits(picture->mBits, picture->mWidth, picture->mHeight);
        *isNew = true;
        records.push_back(std::move(record));
        return SharedImageHandle(records.back().get());
    }
    void Popup(const std::string& text) override { popups.push_back(text); }

private:
    std::vector<std::unique_ptr<SharedImage>> records;
};

TEST(MkFontTest, QuotedTokensReadBackAsWritten) {
    velmtest::TempDir dir;
    for (const std::string text : {"'", "\"", "\\", "'\"", "\"'", "''", "\"\"", "\\'", ";", "#", "a,", "()"}) {
        SCOPED_TRACE(text);
        FontData data;
        data.Load(nullptr, test::WriteText(dir, "q.txt", "Define X (" + mkfont::QuoteToken(text) + ");\n"));
        ASSERT_TRUE(data.initialized);
        std::vector<std::string> values;
        SingleDataElement name("X");
        ASSERT_TRUE(data.GetStringVector(&name, &values));
        EXPECT_EQ(values, (std::vector<std::string>{text}));
    }
}

TEST(MkFontTest, BadInputIsReported) {
    velmtest::TempDir dir;
    mkfont::Options options;
    options.fontPath = dir / "none.ttf";
    options.descriptorPath = dir / "F";
    options.imageName = "F.png";
    std::string error;
    EXPECT_FALSE(mkfont::MakeFont(options, &error));
    EXPECT_NE(error.find("none.ttf"), std::string::npos);
}

TEST(MkFontTest, GeneratedFontDrawsAKernedStringMatchingTheGolden) {
    velmtest::TempDir dir;
    mkfont::Options options;
    options.fontPath = kDejaVuSans;
    options.pointSize = 14;
    options.descriptorPath = dir / "Tahoma14";
    options.imageName = "Tahoma14.png";
    std::string error;
    ASSERT_TRUE(mkfont::MakeFont(options, &error)) << error;

    FileFontHost host;
    ImageFont font(&host, options.descriptorPath);
    ASSERT_TRUE(font.fontData->initialized) << (host.popups.empty() ? "" : host.popups[0]);
    EXPECT_TRUE(host.popups.empty());
    EXPECT_EQ(font.GetPointSize(), 14);
    EXPECT_EQ(font.GetAscent(), 18);
    EXPECT_EQ(font.GetHeight(), 22);
    // "AV" is kerned closer than its two letters.
    EXPECT_LT(font.StringWidth("AV"), font.CharWidth('A') + font.CharWidth('V'));
    EXPECT_LT(font.CharWidthKern('V', 'A'), font.CharWidth('V'));

    std::unique_ptr<MemoryImage> dest(test::MakeFilled(120, 28, 0xFF000000));
    Graphics g(dest.get());
    g.SetFont(&font);
    g.SetColor(Color(255, 255, 255));
    g.DrawString("AVATar W\xE9!", 2, 20);
    const std::vector<uint32_t> drawn = test::Pixels(*dest);

    if (std::getenv("VELM_UPDATE_GOLDEN") != nullptr) {
        ImageLib::Image picture;
        picture.mWidth = dest->width;
        picture.mHeight = dest->height;
        picture.mBits = new uint32_t[drawn.size()];
        std::copy(drawn.begin(), drawn.end(), picture.mBits);
        ASSERT_TRUE(ImageLib::WritePNGImage(kGolden, &picture));
    }
    std::unique_ptr<ImageLib::Image> golden(ImageLib::GetPNGImage(kGolden));
    ASSERT_NE(golden, nullptr) << "missing " << kGolden << " (run once with VELM_UPDATE_GOLDEN=1)";
    ASSERT_EQ(golden->mWidth, dest->width);
    ASSERT_EQ(golden->mHeight, dest->height);
    int different = 0;
    for (size_t i = 0; i < drawn.size(); ++i)
        if (golden->mBits[i] != drawn[i]) ++different;
    EXPECT_EQ(different, 0);
    int inked = 0;
    for (uint32_t p : drawn)
        if (p != 0xFF000000u) ++inked;
    EXPECT_GT(inked, 100);
}

}  // namespace
}  // namespace Velm
