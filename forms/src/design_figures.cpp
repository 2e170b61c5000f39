// design_figures.cpp: writes the three windows' designs in pixels as JSON, in the project's order
// (the first is the start-up window), so that the tests and benchmarks that drive the real program
// from outside take every figure from the design tables, and the page knows which pictures the
// start-up window shows; with the program's font, the sentences the page says itself, and the
// board's cells as the rules place the pieces.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "forms/forms.h"
#include "platform/layout.h"
#include "platform/twips.h"
#include "puzzle/board.h"

namespace {

using platform::ControlDesign;
using platform::ControlKind;
using platform::FormDesign;

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string_view kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::PictureBox: return "picture";
    case ControlKind::CommandButton: return "button";
    case ControlKind::Label: return "label";
    case ControlKind::Frame: return "frame";
  }
  return "?";
}

void writeForm(std::ostream& out, const FormDesign& form) {
  const platform::FormLayout layout = platform::layOut(form, 96, {});
  out << "    " << quoted(form.name) << ": {\n"
      << "      \"caption\": " << quoted(form.caption) << ",\n"
      << "      \"icon\": " << quoted(form.icon) << ",\n"
      << "      \"client\": [" << layout.client.width << ", " << layout.client.height
      << "],\n"
      << "      \"controls\": {\n";
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlDesign& row = form.controls[i];
    const platform::PixelRect& rect = layout.controls[i].rect;
    out << "        " << quoted(row.name) << ": {\"kind\": " << quoted(kindName(row.kind))
        << ", \"rect\": [" << rect.left << ", " << rect.top << ", " << rect.width << ", "
        << rect.height << "], \"edge\": " << layout.controls[i].edge
        << ", \"tab\": " << row.tabIndex
        << ", \"caption\": " << quoted(row.caption) << ", \"picture\": " << quoted(row.picture)
        << ", \"container\": " << quoted(row.container) << "}"
        << (i + 1 < form.controls.size() ? ",\n" : "\n");
  }
  out << "      }\n    }";
}

// Each cell's top-left corner, row by row, the parking cell last: where a piece's box stands on
// it. The suites number the cells so.
void writeBoard(std::ostream& out) {
  constexpr int kGrid = puzzle::kColumns * puzzle::kRows;
  out << "  \"board\": {\"columns\": " << puzzle::kColumns << ", \"rows\": " << puzzle::kRows
      << ", \"cells\": [";
  for (int k = 1; k <= kGrid + 1; ++k) {
    const puzzle::Cell cell = k <= kGrid ? puzzle::homeCell(k) : puzzle::kParkingCell;
    out << (k > 1 ? ", " : "") << "[" << platform::pixelsAt(cell.left, 96) << ", "
        << platform::pixelsAt(cell.top, 96) << "]";
  }
  out << "]},\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vorek-design-figures OUTPUT.json\n";
    return 2;
  }
  std::ofstream out(argv[1]);
  const platform::ProjectRecord& project = forms::project();
  const auto& forms = project.forms;
  const platform::ProgramTexts& texts = project.texts;
  out << "{\n  \"twipsPerPixel\": " << platform::kTwipsPerPixel << ",\n"
      << "  \"font\": {\"family\": " << quoted(project.font.family)
      << ", \"pointSize\": " << project.font.pointSize << "},\n"
      << "  \"texts\": {\"ended\": " << quoted(texts.ended)
      << ", \"endedOnError\": " << quoted(texts.endedOnError)
      << ", \"replay\": " << quoted(texts.replay)
      << ", \"needsScript\": " << quoted(texts.needsScript)
      << ", \"noWebAssembly\": " << quoted(texts.noWebAssembly)
      << ", \"notLoaded\": " << quoted(texts.notLoaded)
      << ", \"closeBox\": " << quoted(texts.closeBox) << ", \"ok\": " << quoted(texts.ok) << "},\n";
  writeBoard(out);
  out << "  \"forms\": {\n";
  for (std::size_t i = 0; i < forms.size(); ++i) {
    writeForm(out, *forms[i]);
    out << (i + 1 < forms.size() ? ",\n" : "\n");
  }
  out << "  }\n}\n";
  out.close();
  if (!out) {
    std::cerr << "vorek-design-figures: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
