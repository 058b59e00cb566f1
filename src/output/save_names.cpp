#include <cctype>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "core/session.h"
#include "core/ui_port.h"
#include "output/alignment_files.h"

const char kSavePatterns[] = "Global  (*.glb_al*,*.gal)\nLocal   (*.loc_al*,*.lal)\nSummary "
                             "(*.sum_al*,*.sal)\nAll files (*)\nPAF     (*.paf)\nMAF     (*.maf)";
const char kFootnotePatterns[] = "Footnotes (*.ftn*)\n";

namespace {
// Start of the extension: the last "." after the last separator, or npos.
size_t extensionStart(const std::string &name) {
  size_t dot = name.rfind('.');
  size_t slash = name.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return std::string::npos;
  return dot;
}

std::string trimmed(const char *chosen) {
  std::string name = chosen;
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  return name;
}

bool startsWithNoCase(const char *text, const std::string &prefix) {
  for (size_t i = 0; i < prefix.size(); ++i)
    if (!text[i] || tolower(static_cast<unsigned char>(text[i])) !=
                        tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}
} // namespace

int FileTypeOfName(const char *name) {
  std::string n = trimmed(name);
  size_t dot = extensionStart(n);
  if (dot == std::string::npos)
    return -1;
  const char *ext = n.c_str() + dot;
  // "(*)" takes what no other pattern takes: the patterns after it too.
  int index = 0, anything = kFormatAny;
  for (const char *p = kSavePatterns; *p; ++index) {
    const char *open = strchr(p, '('), *close = open ? strchr(open, ')') : nullptr;
    const char *end = strchr(p, '\n');
    if (!end)
      end = p + strlen(p);
    if (open && close && close < end) {
      // Each alternative, with its wildcards dropped, is a prefix to match.
      std::string alternative;
      for (const char *q = open + 1; q <= close; ++q) {
        if (*q == ',' || *q == ')') {
          if (alternative.empty())
            anything = index;
          else if (startsWithNoCase(ext, alternative))
            return index;
          alternative.clear();
        } else if (*q != '*' && *q != '?') {
          alternative += *q;
        }
      }
    }
    p = *end ? end + 1 : end;
  }
  return anything;
}

std::string SaveNameWithExtension(const char *chosen, int pattern) {
  static const char *const kExtensions[] = {".glb_align", ".loc_align", ".sum_align",
                                            "_align",     ".paf",       ".maf"};
  std::string name = trimmed(chosen);
  if (FileTypeOfName(name.c_str()) == pattern || pattern < 0 || pattern > kFormatMaf)
    return name;
  size_t dot = extensionStart(name);
  if (dot != std::string::npos)
    name.erase(dot);
  return name + kExtensions[pattern];
}

std::string FootnotesNameWithExtension(const char *chosen) {
  std::string name = chosen;
  size_t dot = extensionStart(name);
  if (dot != std::string::npos && startsWithNoCase(name.c_str() + dot, ".ftn"))
    return name;
  return name + ".ftn_align";
}

bool ConfirmOverwrite(const char *fileName) {
  struct stat st;
  if (stat(fileName, &st) != 0)
    return true;
  char text[512];
  snprintf(text, sizeof text, "Overwrite existing alignment: %s?", fileName);
  return ui()->messageBox("Overwrite Document", text, Buttons::YesNo, kAnswerYes) == kAnswerYes;
}
