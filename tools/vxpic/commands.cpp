#include "vxpic/commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "vxpic/game_files.h"
#include "vxpic/input_file.h"
#include "vxpic/png_file.h"

namespace vxpic {

namespace {

namespace fs = std::filesystem;

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

struct Arguments {
  std::string command;
  std::vector<std::string> files;
  std::string palette;  // empty: the default for the file
  bool flatten = false;
  bool nearest = false;
  bool help = false;
};

std::string Size(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }

bool EndsWithPng(const std::string& name) {
  if (name.size() < 4) return false;
  std::string e = name.substr(name.size() - 4);
  std::transform(e.begin(), e.end(), e.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return e == ".png";
}

// The game cuts pictures into square frames as wide as the picture is high.
std::string FramesLine(int32_t w, int32_t h) {
  std::string line = std::to_string(w / h) + " of " + Size(h, h);
  if (w % h != 0) line += ", and " + std::to_string(w % h) + " columns after the last whole frame";
  return line;
}

// Whether a file (a regular one: anything else is refused with the reason)
// begins with the PNG signature.
bool StartsWithPngSignature(const std::string& path, bool& png, std::string& error) {
  InputFile in;
  if (!in.Open(path, kNoFileBound, error)) return false;
  uint8_t head[8] = {};
  png = in.Read(head, sizeof head) == sizeof head && LooksLikePng(head, sizeof head);
  return true;
}

std::string PngKind(const PngHeader& h) {
  const char* colours = "grey";
  switch (h.colourType) {
    case 2:
      colours = "RGB";
      break;
    case 3:
      colours = "palette";
      break;
    case 4:
      colours = "grey with alpha";
      break;
    case 6:
      colours = "RGBA";
      break;
    default:
      break;
  }
  std::string kind = "PNG, " + std::to_string(h.bitDepth) + " bits per channel, " + colours;
  if (h.transparency) kind += " with a transparent colour";
  if (h.interlaced) kind += ", interlaced";
  return kind;
}

// Writes a PNG beside its final name, then renames it over that.
bool ReplaceWithPng(const std::string& path, const Picture& p, bool withAlpha) {
  const std::string temporary = path + ".vxpic-new";
  std::error_code ec;
  if (WritePngFile(temporary, p, withAlpha)) {
    fs::rename(temporary, path, ec);
    if (!ec) return true;
  }
  std::remove(temporary.c_str());
  return false;
}

// --- info ------------------------------------------------------------------

int InfoPng(const std::string& file, std::ostream& out, std::ostream& err) {
  Picture p;
  PngHeader header;
  std::string error;
  const bool read = ReadPng(file, p, header, error);
  out << "file: " << file << "\n";
  if (header.bitDepth != 0) {
    out << "kind: " << PngKind(header) << "\n";
    out << "size: " << Size(header.width, header.height) << "\n";
    if (header.width > 0 && header.height > 0)
      out << "frames: " << FramesLine(header.width, header.height) << "\n";
  }
  if (!read) {
    err << "vxpic: " << file << ": " << error << "\n";
    return kFailed;
  }
  int32_t x = 0, y = 0;
  const int64_t translucent = CountTranslucent(p, x, y);
  if (translucent == 0)
    out << "alpha: none (every pixel is opaque)\n";
  else
    out << "alpha: " << translucent << " pixels are not fully opaque\n";
  return kDone;
}

int InfoStrip(const std::string& file, const std::string& palette, std::ostream& out, std::ostream& err) {
  StripDirectory d;
  std::string error;
  if (!ReadStripDirectory(file, d, error)) {
    err << "vxpic: " << file << ": " << error << "\n";
    return kFailed;
  }
  out << "file: " << file << "\n";
  out << "kind: texture strip\n";
  out << "values: " << d.count << "\n";
  if (!d.problem.empty()) {
    err << "vxpic: " << file << ": the game reads no picture from it: " << d.problem << "\n";
    return kFailed;
  }
  out << "size: " << Size(int64_t{d.tiles} * d.side, d.side) << "\n";
  out << "frames: " << d.tiles << " tiles of " << Size(d.side, d.side) << "\n";
  if (d.nextSide != 0)
    out << "hidden: the directory goes on with tile " << d.tiles << " of side " << d.nextSide
        << ", which the game does not show (it shows the tiles of tile 0's side, at most " << kStripMaxTiles
        << ")\n";
  InputFile paletteFile;
  std::string why;
  std::error_code ec;
  if (paletteFile.Open(palette, kPaletteMaxFileBytes, why))
    why.clear();
  else if (!fs::exists(fs::symlink_status(palette, ec)))
    why = "not found";
  out << "palette: " << palette << (why.empty() ? "" : " (" + why + ")") << "\n";
  return kDone;
}

int InfoPicture(const std::string& file, Kind kind, std::ostream& out, std::ostream& err) {
  HeaderFacts f;
  std::string error;
  if (!ReadHeaderFacts(file, kind, f, error)) {
    err << "vxpic: " << file << ": " << error << "\n";
    return kFailed;
  }
  out << "file: " << file << "\n";
  if (kind == Kind::kVx1) {
    out << "kind: .vx1 picture\n";
  } else if (f.bitsPerPixel == 24 || f.bitsPerPixel == 32) {
    out << "kind: bitmap, " << f.bitsPerPixel << " bits per pixel\n";
  } else {
    out << "kind: bitmap, " << f.bitsPerPixel
        << " bits per pixel (the game reads 24 and 32 bits and shows other depths grey)\n";
  }
  out << "size: " << Size(f.width, f.height) << "\n";
  Picture p;
  if (!ReadGamePicture(file, "", p, error)) {
    err << "vxpic: " << file << ": " << error << "\n";
    return kFailed;
  }
  out << "frames: " << FramesLine(p.width, p.height) << "\n";
  if (f.neededBytes > f.fileBytes)
    out << "short: the file has " << f.fileBytes << " bytes of the " << f.neededBytes
        << " its header needs; the game shows the missing pixels black\n";
  return kDone;
}

int Info(const Arguments& a, std::ostream& out, std::ostream& err) {
  const std::string& file = a.files[0];
  bool png = false;
  std::string error;
  if (!StartsWithPngSignature(file, png, error)) {
    err << "vxpic: " << file << ": " << error << "\n";
    return kFailed;
  }
  if (png) return InfoPng(file, out, err);
  const Kind kind = KindOfName(file);
  if (kind == Kind::kNone) {
    err << "vxpic: " << file
        << ": not a picture name of the game (it reads names ending in vx1, VX1, bmp, BMP or three digits)\n";
    return kFailed;
  }
  if (kind == Kind::kStrip)
    return InfoStrip(file, a.palette.empty() ? DefaultPalettePath(file) : a.palette, out, err);
  return InfoPicture(file, kind, out, err);
}

// --- to-png ----------------------------------------------------------------

int ToPng(const Arguments& a, std::ostream& out, std::ostream& err) {
  const std::string& in = a.files[0];
  const std::string& png = a.files[1];
  if (!EndsWithPng(png)) {
    err << "vxpic: " << png << ": the PNG to write must end in .png\n";
    return kBadCommandLine;
  }
  const Kind kind = KindOfName(in);
  const std::string palette = a.palette.empty() ? DefaultPalettePath(in) : a.palette;
  Picture p;
  std::string error;
  if (!ReadGamePicture(in, palette, p, error)) {
    err << "vxpic: " << in << ": " << error << "\n";
    return kFailed;
  }
  if (kind == Kind::kStrip) {
    StripDirectory d;
    if (ReadStripDirectory(in, d, error) && d.nextSide != 0)
      err << "vxpic: note: " << in << ": the tiles from tile " << d.tiles
          << " on are not shown by the game and are not in the PNG\n";
  } else {
    HeaderFacts f;
    if (ReadHeaderFacts(in, kind, f, error) && f.neededBytes > f.fileBytes)
      err << "vxpic: note: " << in << ": the file is shorter than its header needs; the missing pixels are "
          << "black, as the game shows them\n";
    if (kind == Kind::kBitmap && f.bitsPerPixel != 24 && f.bitsPerPixel != 32)
      err << "vxpic: note: " << in << ": a bitmap of " << f.bitsPerPixel
          << " bits per pixel, which the game shows grey\n";
  }
  int32_t x = 0, y = 0;
  const bool withAlpha = CountTranslucent(p, x, y) > 0;
  if (!ReplaceWithPng(png, p, withAlpha)) {
    err << "vxpic: " << png << ": cannot write it\n";
    return kFailed;
  }
  out << "vxpic: wrote " << png << " (" << Size(p.width, p.height) << (withAlpha ? ", with alpha" : "")
      << ")\n";
  return kDone;
}

// --- from-png --------------------------------------------------------------

int FromPng(const Arguments& a, std::ostream& out, std::ostream& err) {
  const std::string& png = a.files[0];
  const std::string& target = a.files[1];
  const Kind kind = KindOfName(target);
  if (kind == Kind::kNone) {
    err << "vxpic: " << target
        << ": the game reads no picture from this name: end it in vx1, bmp or three digits (a texture "
           "strip)\n";
    return kBadCommandLine;
  }
  Picture p;
  PngHeader header;
  std::string error;
  if (!ReadPng(png, p, header, error)) {
    err << "vxpic: " << png << ": " << error << "\n";
    return kFailed;
  }
  PaletteValues palette{};
  if (kind == Kind::kStrip) {
    const std::string path = a.palette.empty() ? DefaultPalettePath(target) : a.palette;
    std::string note;
    if (!ReadPaletteFile(path, palette, note, error)) {
      err << "vxpic: " << error
          << " (a texture strip is coloured by a palette: name one with --palette FILE)\n";
      return kFailed;
    }
    if (!note.empty()) err << "vxpic: note: " << note << "\n";
  }
  WriteReport report;
  const WriteOptions options{a.flatten, a.nearest};
  if (!WriteGamePicture(target, kind, p, kind == Kind::kStrip ? &palette : nullptr, options, report, error)) {
    err << "vxpic: " << png << " into " << target << ": " << error << "\n";
    return kFailed;
  }
  out << "vxpic: wrote " << target << " (" << Size(p.width, p.height);
  if (kind == Kind::kStrip) out << ", " << p.width / p.height << " tiles";
  out << ")\n";
  if (report.flattened > 0)
    out << "vxpic: " << report.flattened << " translucent pixels were put over black\n";
  if (report.moved > 0) out << "vxpic: " << report.moved << " pixels took the nearest palette colour\n";
  return kDone;
}

// --- palette ---------------------------------------------------------------

int PaletteSheet(const Arguments& a, std::ostream& out, std::ostream& err) {
  const std::string& png = a.files[0];
  if (!EndsWithPng(png)) {
    err << "vxpic: " << png << ": the PNG to write must end in .png\n";
    return kBadCommandLine;
  }
  const std::string path = a.palette.empty() ? std::string(kPaletteFileName) : a.palette;
  PaletteValues palette{};
  std::string note, error;
  if (!ReadPaletteFile(path, palette, note, error)) {
    err << "vxpic: " << error << " (name one with --palette FILE)\n";
    return kFailed;
  }
  if (!note.empty()) err << "vxpic: note: " << note << "\n";
  constexpr int32_t kSwatch = 16;
  Picture p;
  p.width = p.height = 16 * kSwatch;
  p.pixels.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x)
      p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)] =
          PaletteColour(palette, (y / kSwatch) * 16 + x / kSwatch);
  if (!ReplaceWithPng(png, p, false)) {
    err << "vxpic: " << png << ": cannot write it\n";
    return kFailed;
  }
  out << "vxpic: wrote " << png << " (the 256 colours of " << path
      << ": entry n is the square in column n mod 16, row n / 16)\n";
  return kDone;
}

// --- command line ----------------------------------------------------------

struct CommandShape {
  const char* name;
  size_t files;
  bool takesConversionOptions;
};

constexpr CommandShape kCommands[] = {
    {"info", 1, false},
    {"to-png", 2, false},
    {"from-png", 2, true},
    {"palette", 1, false},
};

bool Parse(int argc, const char* const* argv, Arguments& a, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      a.help = true;
    } else if (arg == "--palette") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = "--palette needs a file";
        return false;
      }
      a.palette = argv[++i];
    } else if (arg == "--flatten") {
      a.flatten = true;
    } else if (arg == "--nearest") {
      a.nearest = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return false;
    } else if (a.command.empty()) {
      a.command = arg;
    } else {
      a.files.push_back(arg);
    }
  }
  if (a.help) return true;
  if (a.command.empty()) {
    error = "no command";
    return false;
  }
  for (const CommandShape& c : kCommands) {
    if (a.command != c.name) continue;
    if (a.files.size() != c.files) {
      error = a.command + " takes " + (c.files == 1 ? "one file" : "two files");
      return false;
    }
    if ((a.flatten || a.nearest) && !c.takesConversionOptions) {
      error = std::string(a.flatten ? "--flatten" : "--nearest") + " belongs to from-png";
      return false;
    }
    return true;
  }
  error = "unknown command '" + a.command + "'";
  return false;
}

}  // namespace

const char* UsageText() {
  return "usage: vxpic info FILE [--palette PAL]\n"
         "       vxpic to-png IN OUT.png [--palette PAL]\n"
         "       vxpic from-png IN.png OUT [--palette PAL] [--flatten] [--nearest]\n"
         "       vxpic palette OUT.png [--palette PAL]\n"
         "\n"
         "Turns the game's pictures into PNG files and back. The kind of a game\n"
         "picture comes from the end of its name, as in the game: .vx1, .bmp, or\n"
         "three digits for a texture strip (square tiles of palette colours).\n"
         "\n"
         "  info      kind, size and frames of a game picture or a PNG\n"
         "  to-png    writes what the game shows of IN as a PNG\n"
         "  from-png  writes a PNG as a .vx1 picture, a bitmap (24 bits, or 32\n"
         "            with alpha) or a texture strip, pixel for pixel; it refuses\n"
         "            what the kind cannot hold\n"
         "  palette   writes the 256 palette colours as 16 x 16 squares\n"
         "\n"
         "  --palette PAL  the palette of a strip (default: pal_c.000 in the\n"
         "                 strip's folder; for palette: data/pal_c.000)\n"
         "  --flatten      put translucent pixels over black instead of refusing\n"
         "                 them (a .vx1 picture and a strip have no alpha)\n"
         "  --nearest      give colours that are not in the palette the nearest\n"
         "                 palette colour instead of refusing them\n"
         "  --help         show this text\n"
         "\n"
         "Only regular files are read: a folder, a named pipe or a device is\n"
         "refused at once. A PNG is read up to 384 MiB, a strip up to 64 MiB, a\n"
         "palette up to 1 MiB; a .vx1 picture or a bitmap as far as its size needs.\n"
         "\n"
         "Exit code 0 when done, 1 when a file cannot be read or converted,\n"
         "2 for a bad command line.\n";
}

namespace {

int RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Arguments a;
  std::string error;
  if (!Parse(argc, argv, a, error)) {
    err << "vxpic: " << error << "\n" << UsageText();
    return kBadCommandLine;
  }
  if (a.help) {
    out << UsageText();
    return kDone;
  }
  if (a.command == "info") return Info(a, out, err);
  if (a.command == "to-png") return ToPng(a, out, err);
  if (a.command == "from-png") return FromPng(a, out, err);
  return PaletteSheet(a, out, err);
}

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // Nothing escapes as an exception: whatever a library throws is a file
  // that could not be read or written.
  try {
    return RunCommand(argc, argv, out, err);
  } catch (const std::bad_alloc&) {
    err << "vxpic: out of memory\n";
  } catch (const std::exception& e) {
    err << "vxpic: " << e.what() << "\n";
  } catch (...) {
    err << "vxpic: failed\n";
  }
  return kFailed;
}

}  // namespace vxpic
