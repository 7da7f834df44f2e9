#include "cutfiles/CuttingFiles.h"

#include "cutfiles/DxfDrawing.h"

#include <algorithm>
#include <string>

namespace scaricometro {
namespace {

// A name goes into file names as it is, its spaces made hyphens: it must be plain lower-case
// letters, one space between words, so that every file system and every shop's program takes it.
constexpr bool fitsAFileName(std::string_view name)
{
    bool afterSpace = true;
    for (char letter : name) {
        const bool space = letter == ' ';
        if (!(space || (letter >= 'a' && letter <= 'z')) || (space && afterSpace))
            return false;
        afterSpace = space;
    }
    return !afterSpace;
}
static_assert(std::ranges::all_of(kChamberSections,
                                  [](const ChamberSection& section) {
                                      return fitsAFileName(section.name) && section.length.size() == 2;
                                  }),
              "every section's name and label fit a file name");

}  // namespace

QString cuttingFileName(const ChamberPart& part)
{
    std::string name = "scaricometro-" + std::string(part.section->length) + '-' + std::string(part.section->name);
    std::replace(name.begin(), name.end(), ' ', '-');
    if (part.piece > 0)
        name += "-pezzo-" + std::to_string(part.piece) + "-di-" + std::to_string(part.pieces);
    if (part.turned)
        name += "-da-girare";
    if (part.count > 1)
        name += "-tagliarne-" + std::to_string(part.count);
    return QString::fromStdString(name + ".dxf");
}

std::vector<FileToSave> cuttingFiles(std::span<const ChamberPart> parts)
{
    std::vector<FileToSave> files;
    for (const ChamberPart& part : parts) {
        files.push_back({cuttingFileName(part), QByteArray::fromStdString(dxfDrawing(onDrawingAxes(part.outline)))});
    }
    return files;
}

}  // namespace scaricometro
