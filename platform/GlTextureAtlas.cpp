#include "platform/GlTextureAtlas.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>

namespace plat {
namespace d3d7 {

bool GlTextureAtlas::PlaceOnPage(Page& page, int width, int height, Place* place) {
    // Cells hold the texels and their one-texel border.
    const int cellWidth = width + 2, cellHeight = height + 2;
    for (std::size_t i = 0; i < page.freed.size(); ++i) {
        if (page.freed[i].width == width && page.freed[i].height == height) {
            *place = page.freed[i];
            page.freed.erase(page.freed.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    Shelf* shelf = nullptr;
    for (Shelf& s : page.shelves) {
        if (s.height == cellHeight && s.nextX + cellWidth <= kPageSize) {
            shelf = &s;
            break;
        }
    }
    if (shelf == nullptr) {
        if (page.nextY + cellHeight > kPageSize) return false;
        page.shelves.push_back({page.nextY, cellHeight, 0});
        page.nextY += cellHeight;
        shelf = &page.shelves.back();
    }
    place->name = page.name;
    place->x = shelf->nextX + 1;
    place->y = shelf->y + 1;
    place->width = width;
    place->height = height;
    shelf->nextX += cellWidth;
    return true;
}

bool GlTextureAtlas::Allocate(int width, int height, Place* place) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    for (std::size_t i = 0; i < mPages.size(); ++i) {
        if (PlaceOnPage(mPages[i], width, height, place)) {
            place->page = static_cast<int>(i);
            ++mPages[i].live;
            return true;
        }
    }
    Page page;
    page.name = MakeTexture(kPageSize, kPageSize);
    if (page.name == 0) return false;
    mPages.push_back(page);
    PlaceOnPage(mPages.back(), width, height, place);
    place->page = static_cast<int>(mPages.size() - 1);
    ++mPages.back().live;
    return true;
}

unsigned GlTextureAtlas::MakeTexture(int width, int height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

void GlTextureAtlas::Free(const Place& place) {
    if (place.page < 0 || place.page >= static_cast<int>(mPages.size())) return;
    Page& page = mPages[static_cast<std::size_t>(place.page)];
    if (--page.live > 0) {
        page.freed.push_back(place);
        return;
    }
    page.shelves.clear();
    page.freed.clear();
    page.nextY = 0;
    page.live = 0;
}

}  // namespace d3d7
}  // namespace plat
