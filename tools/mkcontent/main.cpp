// mkcontent: makes the game's content folder.
//
//   mkcontent <hand-written content folder> <output content folder>
//   mkcontent --contact-sheet <tile-set folder> <picture.png> <zoom>
//   mkcontent --board-preview <content folder> <layout file name> <picture.png>
//   mkcontent --tracker-module <file.mod>
//
// Copies the hand-written text files (INI files with CR LF line ends), then paints every
// picture, renders the fonts, synthesises the sounds and music, and writes the manifest, the
// tile sets and the layouts. The output is the same, byte for byte, on every run. Prints the
// time it took; exits 1 when anything cannot be made. The tracker module is no part of the
// content (the game's music is Ogg Vorbis): it is written on its own for the players' tests.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "resources/ImageLib.h"
#include "tools/mkcontent/Layouts.h"
#include "tools/mkcontent/Music.h"
#include "tools/mkcontent/Pictures.h"
#include "tools/mkcontent/Resources.h"
#include "tools/mkcontent/Sounds.h"
#include "tools/mkcontent/Studio.h"
#include "tools/mkcontent/TextFiles.h"
#include "tools/mkcontent/TileSets.h"
#include "tools/mkcontent/TrackerModule.h"

namespace {

const char kSymbola[] = "/usr/share/fonts/truetype/ancient-scripts/Symbola_hint.ttf";

bool OpenFaces(mkcontent::Faces& faces, std::string* error) {
    faces.sans = mkcontent::FontFace::Open("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    faces.sansBold = mkcontent::FontFace::Open("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    faces.serifBold = mkcontent::FontFace::Open("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf");
    faces.symbols = mkcontent::FontFace::Open(kSymbola);
    if (!faces.sans || !faces.sansBold || !faces.serifBold) {
        *error = "cannot open the DejaVu fonts (package fonts-dejavu-core)";
        return false;
    }
    if (!faces.symbols) {
        *error = std::string("cannot open ") + kSymbola + " (package fonts-symbola)";
        return false;
    }
    return true;
}

// The hand-written files, with INI files converted to CR LF. Files the game must not ship
// are refused.
bool CopyHandWritten(const std::string& source, const std::string& output, std::string* error) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), source));
    for (const fs::path& file : files) {
        const std::string name = file.generic_string();
        if (name == "vhwb.dat") continue;  // copied by the application's build
        if (name == "debug.txt" || name == "play.url" || name == "buynow.url" || name == "vhw.dat") {
            *error = "refusing to ship " + name;
            return false;
        }
        std::ifstream in(fs::path(source) / file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        if (!mkcontent::WriteText(output, name, bytes.str(), mkcontent::NeedsCrLf(name))) {
            *error = "cannot write " + name;
            return false;
        }
    }
    return true;
}

// A contact sheet of one tile set (10 x 5 groups, at the given zoom) over a board-like
// background, to look at the faces the way a player sees them.
int ContactSheet(const std::string& folder, const std::string& output, int zoom) {
    using mkcontent::Canvas;
    Canvas sheet(10 * 52 + 20, 5 * 66 + 24, mkcontent::Argb(0xFF1A2A48));
    // Drawn as the board draws a layer: by decreasing column minus row, so that tiles nearer
    // the bottom left cover the sides of their neighbours.
    std::vector<int> order;
    for (int i = 0; i < mkcontent::kTileGroupCount; ++i) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [](int a, int b) { return a % 10 - a / 10 > b % 10 - b / 10; });
    for (int i : order) {
        char name[32];
        std::snprintf(name, sizeof name, "/t%02d.png", i);
        std::unique_ptr<ImageLib::Image> image(ImageLib::GetImage(folder + name, false));
        if (!image) {
            std::fprintf(stderr, "mkcontent: cannot read %s%s\n", folder.c_str(), name);
            return 1;
        }
        Canvas tile(image->mWidth, image->mHeight);
        for (int y = 0; y < image->mHeight; ++y)
            for (int x = 0; x < image->mWidth; ++x)
                tile.Set(x, y, mkcontent::Argb(image->mBits[y * image->mWidth + x]));
        // Neighbours overlap as on the board: 48 pixels apart across, 62 down.
        sheet.Draw(tile, 10 + (i % 10) * 48, 10 + (i / 10) * 62);
    }
    Canvas zoomed(sheet.Width() * zoom, sheet.Height() * zoom);
    for (int y = 0; y < zoomed.Height(); ++y)
        for (int x = 0; x < zoomed.Width(); ++x) zoomed.Set(x, y, sheet.Get(x / zoom, y / zoom));
    return zoomed.SavePng(output) ? 0 : 1;
}

// A picture of a board as the play screen lays it out: the stage background, the two bars
// and the tiles of a layout with faces of the first tile set, each layer drawn by decreasing
// column minus row, upper layers 6 pixels right and 5 up.
int BoardPreview(const std::string& content, const std::string& layoutFile, const std::string& output) {
    using mkcontent::Canvas;
    auto load = [](const std::string& path) {
        std::unique_ptr<ImageLib::Image> image(ImageLib::GetImage(path, false));
        Canvas c(image ? image->mWidth : 1, image ? image->mHeight : 1);
        for (int y = 0; image && y < image->mHeight; ++y)
            for (int x = 0; x < image->mWidth; ++x) c.Set(x, y, mkcontent::Argb(image->mBits[y * image->mWidth + x]));
        return c;
    };
    Canvas board = load(content + "/images/stages/night1.png");
    board.Draw(load(content + "/images/game/bartop.png"), 0, 0);
    board.Draw(load(content + "/images/game/barbottom.png"), 0, 698);
    for (const mkcontent::LayoutShape& shape : mkcontent::GetLayoutShapes()) {
        if (shape.file != layoutFile) continue;
        std::vector<Canvas> faces;
        for (int i = 0; i < 42; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/tilesets/classic/t%02d.png", i);
            faces.push_back(load(content + name));
        }
        std::vector<size_t> order(shape.tiles.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            const mkcontent::LayoutTile &ta = shape.tiles[a], &tb = shape.tiles[b];
            if (ta.layer != tb.layer) return ta.layer < tb.layer;
            return ta.column - ta.row > tb.column - tb.row;
        });
        for (size_t i : order) {
            const mkcontent::LayoutTile& t = shape.tiles[i];
            board.Draw(faces[(i * 7 + static_cast<size_t>(t.layer) * 5) % faces.size()],
                       14 + 6 * t.layer + 24 * t.column, 85 + 31 * t.row - 5 * t.layer);
        }
        return board.SavePng(output) ? 0 : 1;
    }
    std::fprintf(stderr, "mkcontent: no layout %s\n", layoutFile.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--tracker-module") return mkcontent::WriteTrackerModule(argv[2]) ? 0 : 1;
    if (argc == 5 && std::string(argv[1]) == "--board-preview") return BoardPreview(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::string(argv[1]) == "--contact-sheet")
        return ContactSheet(argv[2], argv[3], std::atoi(argv[4]));
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkcontent <content source folder> <output folder>\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string source = argv[1], output = argv[2];
    // Files earlier versions made that are no content any more.
    for (const char* gone : {"sounds/music/theme.mod"}) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(output) / gone, ignored);
    }
    std::string error;
    if (!CopyHandWritten(source, output, &error)) {
        std::fprintf(stderr, "mkcontent: %s\n", error.c_str());
        return 1;
    }

    // Independent jobs on their own threads, each with its own faces and studio.
    std::mutex errorLock;
    std::vector<std::string> errors;
    int pictures = 0;
    auto run = [&](const std::function<bool(mkcontent::Studio&, std::string*)>& job) {
        mkcontent::Faces faces;
        std::string message;
        bool ok = OpenFaces(faces, &message);
        mkcontent::Studio studio(output, faces);
        if (ok) ok = job(studio, &message);
        if (ok && studio.Failures() > 0) {
            ok = false;
            message = std::to_string(studio.Failures()) + " pictures could not be written";
        }
        std::lock_guard<std::mutex> guard(errorLock);
        pictures += studio.Written();
        if (!ok) errors.push_back(message);
    };
    std::vector<std::thread> jobs;
    jobs.emplace_back(run, [](mkcontent::Studio& s, std::string* e) { return mkcontent::MakeResources(s, e); });
    jobs.emplace_back(run, [](mkcontent::Studio& s, std::string*) {
        mkcontent::MakeTileSets(s);
        return true;
    });
    jobs.emplace_back(run, [](mkcontent::Studio& s, std::string*) {
        mkcontent::MakeDataPictures(s);
        return true;
    });
    jobs.emplace_back(run, [](mkcontent::Studio& s, std::string*) {
        mkcontent::MakeStagePictures(s);
        return true;
    });
    jobs.emplace_back(run, [&](mkcontent::Studio&, std::string* e) {
        return mkcontent::MakeSounds(output, e) && mkcontent::MakeLayouts(output, e);
    });
    jobs.emplace_back(run, [&](mkcontent::Studio&, std::string* e) { return mkcontent::MakeMusic(output, e); });
    for (std::thread& job : jobs) job.join();
    for (const std::string& message : errors) std::fprintf(stderr, "mkcontent: %s\n", message.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("mkcontent: %d pictures and the rest of the content in %.1f s\n", pictures, seconds);
    return errors.empty() ? 0 : 1;
}
