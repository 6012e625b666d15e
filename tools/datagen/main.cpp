// vxdata: writes the default game folder, or a contact sheet of its art.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/contact_sheet.h"
#include "datagen/data_set.h"
#include "datagen/icon.h"
#include "datagen/music_files.h"
#include "datagen/player_preview.h"
#include "datagen/world_sheet.h"

namespace {

constexpr const char* kUsage =
    "usage: vxdata [--force] [--musicdec FILE] [--icon FILE.png] OUTDIR\n"
    "       vxdata --icon FILE.png\n"
    "       vxdata [--musicdec FILE] [--sheet FILE.png [--screens PREFIX]] [--player-sheet FILE.png]\n"
    "              [--world-sheet FILE.png] [OUTDIR]\n"
    "  Writes the default game folder into OUTDIR (into a temporary folder when\n"
    "  OUTDIR is not given and a sheet is asked for). --sheet draws every\n"
    "  picture of the folder with its name onto one PNG; --screens also writes\n"
    "  each composed screen of that sheet alone, as PREFIX-1.png, PREFIX-2.png,\n"
    "  ... --player-sheet draws the player as the game shows him: every attack\n"
    "  frame of every weapon in both facings, the leg turned, the death pieces\n"
    "  and the pickups. --world-sheet draws every level as the game composes\n"
    "  it, with its mask outline, exits and ways in, and its creatures and\n"
    "  pickups where its object file spawns them. --icon draws the game's\n"
    "  256 x 256 desktop icon. The folder gets manifest.txt, the size and\n"
    "  checksum of every file, which the game checks at start-up.\n"
    "  Each file is written beside its place and moved there only once every\n"
    "  file was written; the manifest comes last. A file in OUTDIR that is not\n"
    "  as the previous manifest lists it (your change: a level from the editor,\n"
    "  your keys in ini/main.ini) is left as it is; --force replaces it too,\n"
    "  after moving it into OUTDIR/vxdata-backup/DATE-TIME/. A damaged file\n"
    "  (empty, or a picture or sample that does not load) is moved there and\n"
    "  replaced. Exit code 0 when done, 1 when anything could not be written\n"
    "  (then no file of OUTDIR is replaced), 2 for a bad command line.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

// The first errors, one a line, and how many more there were: a full disk
// fails every file alike.
void ReportErrors(const std::vector<std::string>& errors) {
  constexpr size_t kShown = 10;
  for (size_t i = 0; i < errors.size() && i < kShown; ++i)
    std::fprintf(stderr, "vxdata: %s\n", errors[i].c_str());
  if (errors.size() > kShown) std::fprintf(stderr, "vxdata: ... and %zu more\n", errors.size() - kShown);
}

// " a, b, c" for a list of names.
std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? " " : ", ") + names[i];
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, sheet, screens, playerSheet, worldSheet, icon;
  bool force = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--force") {
      force = true;
    } else if (a == "--sheet" && i + 1 < argc) {
      sheet = argv[++i];
    } else if (a == "--screens" && i + 1 < argc) {
      screens = argv[++i];
    } else if (a == "--player-sheet" && i + 1 < argc) {
      playerSheet = argv[++i];
    } else if (a == "--world-sheet" && i + 1 < argc) {
      worldSheet = argv[++i];
    } else if (a == "--icon" && i + 1 < argc) {
      icon = argv[++i];
    } else if (a == "--musicdec" && i + 1 < argc) {
      datagen::SetMusicDecoder(argv[++i]);
    } else if (!a.empty() && a[0] != '-' && outDir.empty()) {
      outDir = a;
    } else {
      const bool needsValue = a == "--sheet" || a == "--screens" || a == "--player-sheet" ||
                              a == "--world-sheet" || a == "--icon" || a == "--musicdec";
      if (needsValue)
        std::fprintf(stderr, "vxdata: option %s needs a value\n", a.c_str());
      else if (!a.empty() && a[0] == '-')
        std::fprintf(stderr, "vxdata: unknown option '%s'\n", a.c_str());
      else
        std::fprintf(stderr, "vxdata: one output folder only, not also '%s'\n", a.c_str());
      return Usage();
    }
  }
  if (!icon.empty()) {
    if (!datagen::WriteIcon(icon)) {
      std::fprintf(stderr, "vxdata: cannot write %s\n", icon.c_str());
      return 1;
    }
    std::printf("vxdata: icon in %s\n", icon.c_str());
    if (outDir.empty() && sheet.empty() && playerSheet.empty() && worldSheet.empty()) return 0;
  }
  if (outDir.empty() && sheet.empty() && playerSheet.empty() && worldSheet.empty()) return Usage();
  if (!screens.empty() && sheet.empty()) return Usage();
  bool temporary = false;
  if (outDir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vxdata-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::fputs("vxdata: cannot make a temporary folder\n", stderr);
      return 1;
    }
    outDir = pattern;
    temporary = true;
  }
  const auto start = std::chrono::steady_clock::now();
  datagen::DataSetWriter writer(outDir, force);
  const bool ok = datagen::WriteDataSet(writer);
  ReportErrors(writer.errors());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ok) {
    std::fprintf(stderr,
                 writer.changedFolder() ? "vxdata: %s is not complete; its manifest was not written\n"
                                        : "vxdata: nothing in %s was replaced\n",
                 outDir.c_str());
  } else if (!temporary) {
    std::printf("vxdata: wrote %s in %.1f s\n", outDir.c_str(), seconds);
    if (!writer.backedUp().empty())
      std::printf("vxdata: moved %zu %s into %s before replacing them:%s\n", writer.backedUp().size(),
                  writer.backedUp().size() == 1 ? "file" : "files",
                  (std::filesystem::path(outDir) / writer.backupFolder()).c_str(),
                  Names(writer.backedUp()).c_str());
    if (!writer.kept().empty())
      std::printf(
          "vxdata: kept %zu of your changed files as they are (vxdata --force replaces them, keeping "
          "copies):%s\n",
          writer.kept().size(), Names(writer.kept()).c_str());
  }
  if (!ok) {
    if (temporary) {
      std::error_code ec;
      std::filesystem::remove_all(outDir, ec);
    }
    return 1;
  }
  bool sheetOk = true;
  if (!sheet.empty()) {
    const std::string sheetPath = std::filesystem::absolute(sheet).string();
    const std::string prefix = screens.empty() ? "" : std::filesystem::absolute(screens).string();
    sheetOk = datagen::WriteContactSheet(outDir, writer.pictures(), sheetPath, prefix);
    if (!sheetOk)
      std::fprintf(stderr, "vxdata: cannot write %s\n", sheetPath.c_str());
    else
      std::printf("vxdata: contact sheet of %zu pictures in %s\n", writer.pictures().size(),
                  sheetPath.c_str());
  }
  if (!playerSheet.empty()) {
    const std::string sheetPath = std::filesystem::absolute(playerSheet).string();
    const bool playerOk = datagen::WritePlayerSheet(outDir, sheetPath);
    if (!playerOk)
      std::fprintf(stderr, "vxdata: cannot write %s\n", sheetPath.c_str());
    else
      std::printf("vxdata: player sheet in %s\n", sheetPath.c_str());
    sheetOk = sheetOk && playerOk;
  }
  if (!worldSheet.empty()) {
    const std::string sheetPath = std::filesystem::absolute(worldSheet).string();
    if (!datagen::WriteWorldSheet(outDir, sheetPath)) {
      std::fprintf(stderr, "vxdata: cannot write %s\n", sheetPath.c_str());
      sheetOk = false;
    } else {
      std::printf("vxdata: world sheet in %s\n", sheetPath.c_str());
    }
  }
  if (temporary) {
    std::error_code ec;
    std::filesystem::remove_all(outDir, ec);
  }
  return ok && sheetOk ? 0 : 1;
}
