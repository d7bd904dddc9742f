// Makes one bitmap font from a face file:
//   fontgen FACE PIXELS FOLDER NAME [--metrics AFM] [--outline WIDTH] [--embolden PIXELS]
//           [--atlas-width N] [--spacing S] [--codes 20-7E,A0-FF,...] [--no-kerning] [--no-underline]
//           [--preview TEXT PNG]
// writes FOLDER/NAME.ini and FOLDER/NAME.png and prints what it made; with
// --preview it also draws the UTF-8 TEXT in the font into PNG.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fontgen.h"

namespace {

int usage(const char* self)
{
    std::fprintf(stderr,
                 "usage: %s FACE PIXELS FOLDER NAME [--metrics AFM] [--outline WIDTH] [--embolden PIXELS]\n"
                 "       [--atlas-width N] [--spacing S] [--codes 20-7E,A0-FF] [--no-kerning] [--no-underline]\n"
                 "       [--preview TEXT PNG]\n",
                 self);
    return 2;
}

// "20-7E,A0-FF,401": hexadecimal codes and ranges.
bool parseCodes(const std::string& text, std::vector<uint32_t>& out)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(',', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(pos, end - pos);
        char* rest = nullptr;
        const unsigned long first = std::strtoul(item.c_str(), &rest, 16);
        unsigned long last = first;
        if (rest && *rest == '-')
            last = std::strtoul(rest + 1, &rest, 16);
        if (item.empty() || !rest || *rest != '\0' || last < first || last > 0xFFFF)
            return false;
        for (unsigned long c = first; c <= last; ++c)
            out.push_back(static_cast<uint32_t>(c));
        pos = end + 1;
    }
    return !out.empty();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return usage(argv[0]);
    fontgen::Options options;
    options.facePath = argv[1];
    options.pixelSize = std::atoi(argv[2]);
    const std::string folder = argv[3], name = argv[4];
    std::string previewText, previewPath;
    for (int i = 5; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--metrics" && hasValue)
            options.metricsPath = argv[++i];
        else if (arg == "--outline" && hasValue)
            options.outline = std::strtof(argv[++i], nullptr);
        else if (arg == "--atlas-width" && hasValue)
            options.atlasWidth = std::atoi(argv[++i]);
        else if (arg == "--embolden" && hasValue)
            options.embolden = std::strtof(argv[++i], nullptr);
        else if (arg == "--spacing" && hasValue)
            options.charSpacing = std::strtof(argv[++i], nullptr);
        else if (arg == "--codes" && hasValue) {
            if (!parseCodes(argv[++i], options.codes)) {
                std::fprintf(stderr, "fontgen: bad character list %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--preview" && i + 2 < argc) {
            previewText = argv[++i];
            previewPath = argv[++i];
        } else if (arg == "--no-kerning")
            options.kerning = false;
        else if (arg == "--no-underline")
            options.underline = false;
        else
            return usage(argv[0]);
    }
    if (options.codes.empty())
        options.codes = fontgen::defaultCodes();

    fontgen::Font font;
    std::string error;
    if (!fontgen::render(options, font, error) || !fontgen::writeFont(options, font, folder, name, error)) {
        std::fprintf(stderr, "fontgen: %s\n", error.c_str());
        return 1;
    }
    if (!previewPath.empty()) {
        const std::string image = fontgen::png(fontgen::preview(font, options, previewText));
        std::FILE* file = std::fopen(previewPath.c_str(), "wb");
        if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size()) {
            std::fprintf(stderr, "fontgen: cannot write %s\n", previewPath.c_str());
            if (file)
                std::fclose(file);
            return 1;
        }
        std::fclose(file);
    }
    std::printf("%s: %zu glyphs, %zu missing, %zu kerning pairs, line height %d, atlas %dx%d\n", name.c_str(),
                font.glyphs.size(), font.missing.size(), font.kerning.size(), font.lineHeight, font.atlasWidth,
                font.atlasHeight);
    return 0;
}
