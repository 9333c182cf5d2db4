#include "app/devaids/ImageDump.h"

#include <algorithm>
#include <numeric>

#include "graphics/DDImage.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

TextureInfoQuery gTextureInfoQuery = nullptr;

const int kThumbSize = 64;

std::string Cell(const std::string& label, int64_t bytes) {
    if (bytes == 0) return "<TD>&nbsp;</TD>";
    return "<TD>" + label + "<BR>" + FormatThousands64(bytes) + "</TD>";
}

std::string FlagCell(const char* label, bool on) {
    return on ? std::string("<TD>") + label + "</TD>" : "<TD>&nbsp;</TD>";
}

std::string SumCell(int64_t value) { return "<TD>" + FormatThousands64(value) + "</TD>"; }

}  // namespace

void SetTextureInfoQuery(TextureInfoQuery query) { gTextureInfoQuery = query; }

TextureInfoQuery GetTextureInfoQuery() { return gTextureInfoQuery; }

std::string FormatThousands64(int64_t value) {
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative) digits.erase(0, 1);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

ImageMemoryFigures GetImageMemoryFigures(MemoryImage* image) {
    ImageMemoryFigures figures;
    figures.width = image->width;
    figures.height = image->height;
    const int64_t pixels = static_cast<int64_t>(image->width) * image->height;
    if (image->bits != nullptr) figures.bits = pixels * 4;
    const DDImage* surfaceImage = dynamic_cast<const DDImage*>(image);
    if (surfaceImage != nullptr && surfaceImage->mSurface) figures.surface = pixels * 4;
    if (image->palette != nullptr) figures.palletized = pixels + 1024;
    if (image->nativeAlphaData != nullptr) figures.nativeAlpha = image->palette != nullptr ? 1024 : pixels * 4;
    if (image->runLengthAlphaData != nullptr) figures.rlAlpha = pixels;
    if (image->runLengthAdditiveData != nullptr) figures.rlAdditive = pixels;
    if (image->textureData != nullptr && gTextureInfoQuery != nullptr) {
        int64_t bytes = 0;
        int format = 0;
        if (gTextureInfoQuery(image, &bytes, &format)) {
            figures.hasTexture = true;
            figures.texture = bytes;
            figures.textureFormat = format;
        }
    }
    figures.isVolatile = image->isVolatile;
    figures.forced = image->alphaFlagsForced;
    figures.hasAlpha = image->hasAlpha;
    figures.hasTrans = image->hasTrans;
    figures.path = image->path;
    return figures;
}

const char* TextureFormatName(int format) {
    switch (format) {
        case 1: return "A8R8G8B8";
        case 2: return "A4R4G4B4";
        case 4: return "R5G6B5";
        case 8: return "Palette8";
        default: return "";
    }
}

std::vector<size_t> ImageDumpOrder(const std::vector<ImageMemoryFigures>& images) {
    std::vector<size_t> order(images.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&images](size_t a, size_t b) { return images[a].Total() > images[b].Total(); });
    return order;
}

std::string ImageDumpHtml(const std::string& timeText, const std::vector<ImageMemoryFigures>& images) {
    ImageMemoryFigures sums;
    int64_t grandTotal = 0;
    for (const ImageMemoryFigures& image : images) {
        grandTotal += image.Total();
        sums.bits += image.bits;
        sums.palletized += image.palletized;
        sums.surface += image.surface;
        sums.texture += image.texture;
        sums.nativeAlpha += image.nativeAlpha;
        sums.rlAlpha += image.rlAlpha;
        sums.rlAdditive += image.rlAdditive;
    }

    std::string html = "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + timeText + "</B></FONT><BR>\n";
    html += "Total Image Allocation: " + FormatThousands64(grandTotal) + " bytes<BR>";
    html += "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>";
    for (size_t n = 0; n < images.size(); ++n) {
        const ImageMemoryFigures& image = images[n];
        const std::string pngName = FormatString("img%04d.png", static_cast<int>(n));
        const std::string jpegName = FormatString("thumb%04d.jpg", static_cast<int>(n));
        html += "<TR>";
        html += "<TD><A HREF=" + pngName + "><IMG SRC=" + jpegName + " WIDTH=64 HEIGHT=64></A></TD>";
        html += "<TD ALIGN=RIGHT>" +
                FormatString("%d x %d<BR>%s bytes", image.width, image.height,
                             FormatThousands64(image.Total()).c_str()) +
                "</TD>";
        html += Cell("mBits", image.bits);
        html += Cell("Palletized", image.palletized);
        html += Cell("DDSurface", image.surface);
        if (image.hasTexture)
            html += std::string("<TD>Texture<BR>") + TextureFormatName(image.textureFormat) + "<BR>" +
                    FormatThousands64(image.texture) + "</TD>";
        else
            html += "<TD>&nbsp;</TD>";
        html += FlagCell("Volatile", image.isVolatile);
        html += FlagCell("Forced", image.forced);
        html += FlagCell("HasAlpha", image.hasAlpha);
        html += FlagCell("HasTrans", image.hasTrans);
        html += Cell("NativeAlpha", image.nativeAlpha);
        html += Cell("RLAlpha", image.rlAlpha);
        html += Cell("RLAdditive", image.rlAdditive);
        html += image.path.empty() ? "<TD>&nbsp;</TD>" : "<TD>" + image.path + "</TD>";
        html += "</TR>";
    }
    html += "<TD>Totals</TD>";
    html += SumCell(grandTotal) + SumCell(sums.bits) + SumCell(sums.palletized) + SumCell(sums.surface) +
            SumCell(sums.texture);
    for (int i = 0; i < 4; ++i) html += "<TD>&nbsp;</TD>";
    html += SumCell(sums.nativeAlpha) + SumCell(sums.rlAlpha) + SumCell(sums.rlAdditive);
    html += "<TD>&nbsp;</TD>";
    html += "</TABLE></CENTER></BODY></HTML>";
    return html;
}

std::vector<uint32_t> MakeThumbnail(const uint32_t* pixels, int width, int height) {
    std::vector<uint32_t> thumb(static_cast<size_t>(kThumbSize) * kThumbSize, 0);
    if (pixels == nullptr || width <= 0 || height <= 0) return thumb;
    for (int y = 0; y < kThumbSize; ++y) {
        const int row = static_cast<int>((y + 0.5) * height) / kThumbSize;
        for (int x = 0; x < kThumbSize; ++x) {
            const int column = static_cast<int>((x + 0.5) * width) / kThumbSize;
            thumb[static_cast<size_t>(y) * kThumbSize + x] = pixels[static_cast<size_t>(row) * width + column];
        }
    }
    return thumb;
}

}  // namespace Velm
