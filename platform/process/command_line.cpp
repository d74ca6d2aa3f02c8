#include "platform/process/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

bool ParseInt(std::string_view text, LONG* out) {
  if (text.empty() || text.size() > 10) return false;
  std::string copy(text);
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(copy.c_str(), &end, 10);
  if (errno != 0 || *end != 0 || value < -100000 || value > 100000) return false;
  *out = static_cast<LONG>(value);
  return true;
}

bool ParsePoint(std::string_view text, POINT* out) {
  size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  return ParseInt(text.substr(0, comma), &out->x) && ParseInt(text.substr(comma + 1), &out->y);
}

bool IsOption(std::string_view arg) { return arg.size() >= 2 && arg[0] == '-' && arg[1] == '-'; }

CommandLineResult Refuse(std::string why) {
  CommandLineResult result;
  result.error = std::move(why);
  return result;
}

}  // namespace

std::string UsageText() {
  return "usage: tessellon [--platform offscreen|x11] [--drop X,Y FILE [FILE...]]... [--screenshot OUT.png]\n"
         "\n"
         "  --platform NAME     display backend: offscreen (no display) or x11;\n"
         "                      default: $TESSELLON_PLATFORM, else x11 when a display opens, else offscreen\n"
         "  --drop X,Y FILE...  offscreen: drop the files on client point (X, Y) of the window\n"
         "                      once it is shown; repeat for more drops, run in order\n"
         "  --screenshot OUT    offscreen: after the last drop, write the window's client area as PNG\n"
         "  --help              show this text\n";
}

CommandLineResult ParseCommandLine(int argc, const char* const* argv, const std::string& startDirectory) {
  CommandLineResult result;
  PlatformOptions& options = result.options;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg(argv[i]);
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--platform") {
      if (i + 1 >= argc) return Refuse("--platform needs a name: offscreen or x11");
      std::string_view name(argv[++i]);
      if (name != "offscreen" && name != "x11")
        return Refuse("unknown platform '" + std::string(name) + "': use offscreen or x11");
      options.platform = name;
    } else if (arg == "--drop") {
      if (i + 1 >= argc) return Refuse("--drop needs a point X,Y and at least one file");
      DropRequest drop;
      std::string_view point(argv[++i]);
      if (!ParsePoint(point, &drop.point))
        return Refuse("--drop point '" + std::string(point) + "' is not X,Y (two whole numbers)");
      while (i + 1 < argc && !IsOption(argv[i + 1])) {
        std::string file(argv[++i]);
        if (file.empty()) return Refuse("--drop got an empty file name");
        if (file[0] != '/') file = startDirectory + (startDirectory.ends_with('/') ? "" : "/") + file;
        drop.files.push_back(std::move(file));
      }
      if (drop.files.empty()) return Refuse("--drop " + std::string(point) + " names no file");
      options.drops.push_back(std::move(drop));
    } else if (arg == "--screenshot") {
      if (i + 1 >= argc || IsOption(argv[i + 1])) return Refuse("--screenshot needs an output file");
      options.screenshot = argv[++i];
      if (options.screenshot[0] != '/')
        options.screenshot = startDirectory + (startDirectory.ends_with('/') ? "" : "/") + options.screenshot;
    } else if (IsOption(arg) || (arg.size() > 1 && arg[0] == '-')) {
      return Refuse("unknown option '" + std::string(arg) + "'");
    } else {
      return Refuse("unexpected argument '" + std::string(arg) + "' (files belong after --drop X,Y)");
    }
  }
  if (options.platform == "x11" && (!options.drops.empty() || !options.screenshot.empty()))
    return Refuse("--drop and --screenshot work on the offscreen platform only");
  result.ok = true;
  return result;
}

}  // namespace platform
