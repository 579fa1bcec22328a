#include "map_svg.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "analysis/space_map_text.h"

namespace cli {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Colour(analysis::Rgb rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
  return text;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

void WriteMapSvg(std::ostream& out, const analysis::MapSnapshot& snapshot, const analysis::MapLayout& layout,
                 const analysis::ColourScale& scale, int width, int height) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\""
      << height + kLegendHeight << "\">\n"
      << "<title>" << Escaped("Space map of " + snapshot.rootPath) << "</title>\n<g id=\"map\">\n";
  for (const analysis::MapCell& cell : layout.cells) {
    const analysis::MapItem& item = snapshot.items[cell.item];
    out << "<rect class=\"" << (item.folder ? "folder" : "file") << "\" x=\"" << Number(cell.rect.x)
        << "\" y=\"" << Number(cell.rect.y) << "\" width=\"" << Number(cell.rect.w) << "\" height=\""
        << Number(cell.rect.h) << "\" fill=\"" << Colour(analysis::CellColour(item, scale)) << '"';
    if (item.folder) out << " stroke=\"" << Colour(analysis::kFolderFrameColour) << "\" stroke-width=\"0.5\"";
    out << " data-path=\"" << Escaped(analysis::ItemPath(snapshot, cell.item)) << "\" data-bytes=\""
        << item.actualSize << "\"><title>" << Escaped(analysis::HoverText(snapshot, cell.item))
        << "</title></rect>\n";
  }
  out << "</g>\n<g id=\"legend\" font-family=\"sans-serif\" font-size=\"11\">\n";
  double x = 4;
  const int y = height + 6;
  for (const analysis::LegendEntry& entry : analysis::Legend(scale)) {
    out << "<rect x=\"" << Number(x) << "\" y=\"" << y << "\" width=\"12\" height=\"12\" fill=\""
        << Colour(entry.colour) << "\"/><text x=\"" << Number(x + 16) << "\" y=\"" << y + 10 << "\">"
        << Escaped(entry.text) << "</text>\n";
    x += 24 + 6.5 * static_cast<double>(entry.text.size());
  }
  out << "</g>\n</svg>\n";
}

}  // namespace cli
