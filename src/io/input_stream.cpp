#include "io/input_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <unistd.h>
#include <zlib.h>

#include "core/errors.h"
#include "io/reader_engine.h"

namespace {

// ---- Compressed streams ---------------------------------------------------------
// Text kept behind the read position: more than a body block (64 KB) plus
// the stdio buffer, so the readers' steps back never reach past it.
constexpr size_t kKeep = size_t(1) << 18;
constexpr unsigned kChunk = 1u << 16;

struct Inflater {
  FILE *raw = nullptr;
  gzFile gz = nullptr;
  FILE *stream = nullptr;
  std::string name, place;
  std::vector<char> text; // uncompressed bytes from textStart on
  int64_t textStart = 0;
  int64_t pos = 0;
  bool ended = false, damaged = false;

  int64_t textEnd() const { return textStart + int64_t(text.size()); }

  // One more chunk behind what is kept; false at the end or at damage.
  bool more() {
    if (ended || damaged)
      return false;
    int64_t behind = pos - textStart - int64_t(kKeep);
    if (behind > 0) {
      text.erase(text.begin(), text.begin() + behind);
      textStart += behind;
    }
    size_t old = text.size();
    text.resize(old + kChunk);
    int n = gzread(gz, text.data() + old, kChunk);
    text.resize(old + size_t(n > 0 ? n : 0));
    if (n > 0)
      return true;
    int err = Z_OK;
    gzerror(gz, &err);
    // A stream cut short reads as an early end: zlib tells it apart only here.
    (err == Z_OK ? ended : damaged) = true;
    return false;
  }

  // Back before the kept text: decompress again from the start.
  bool rewind() {
    if (gzrewind(gz) != 0)
      return false;
    text.clear();
    textStart = pos = 0;
    ended = damaged = false;
    return true;
  }
};

std::vector<Inflater *> gInflaters; // open compressed streams

Inflater *inflaterOf(FILE *f) {
  for (Inflater *z : gInflaters)
    if (z->stream == f)
      return z;
  return nullptr;
}

ssize_t inflaterRead(void *cookie, char *out, size_t size) {
  auto *z = static_cast<Inflater *>(cookie);
  while (z->pos >= z->textEnd())
    if (!z->more())
      return z->damaged ? -1 : 0;
  size_t n = std::min(size, size_t(z->textEnd() - z->pos));
  memcpy(out, z->text.data() + (z->pos - z->textStart), n);
  z->pos += int64_t(n);
  return ssize_t(n);
}

int inflaterSeek(void *cookie, off64_t *offset, int whence) {
  auto *z = static_cast<Inflater *>(cookie);
  int64_t target = whence == SEEK_SET ? *offset : whence == SEEK_CUR ? z->pos + *offset : -1;
  if (target < 0) {
    errno = EINVAL;
    return -1;
  }
  if (target < z->textStart && !z->rewind()) {
    errno = EIO;
    return -1;
  }
  // Forward in steps, so that what lies far behind can go.
  for (;;) {
    z->pos = std::min(target, z->textEnd());
    if (z->pos == target || !z->more())
      break;
  }
  *offset = z->pos;
  return 0;
}

int inflaterClose(void *cookie) {
  auto *z = static_cast<Inflater *>(cookie);
  gInflaters.erase(std::remove(gInflaters.begin(), gInflaters.end(), z), gInflaters.end());
  gzclose(z->gz);
  fclose(z->raw);
  delete z;
  return 0;
}

bool gzipMagic(int fd) {
  unsigned char magic[2];
  return pread(fd, magic, 2, 0) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

gzFile openGz(FILE *raw) {
  int fd = dup(fileno(raw));
  if (fd < 0)
    return nullptr;
  if (lseek(fd, 0, SEEK_SET) != 0) {
    close(fd);
    return nullptr;
  }
  gzFile gz = gzdopen(fd, "rb");
  if (!gz) {
    close(fd);
    return nullptr;
  }
  gzbuffer(gz, 1u << 17);
  return gz;
}

// ---- Lines and records ----------------------------------------------------------
constexpr size_t kHead = 1024; // of a line: more than any name needs

class LineScanner {
public:
  explicit LineScanner(FILE *f) : f_(f) {}
  // The next line: its offset and its first bytes without the line end.
  bool next(int64_t &offset, std::string &head) {
    head.clear();
    offset = base_ + int64_t(at_);
    bool any = false;
    for (;;) {
      if (at_ == size_) {
        base_ += int64_t(size_);
        at_ = 0;
        size_ = fread(buffer_, 1, sizeof buffer_, f_);
        if (size_ == 0)
          return any;
      }
      any = true;
      const char *p = buffer_ + at_;
      const char *nl = static_cast<const char *>(memchr(p, '\n', size_ - at_));
      size_t length = nl ? size_t(nl - p) : size_ - at_;
      if (head.size() < kHead)
        head.append(p, std::min(length, kHead - head.size()));
      at_ += length;
      if (nl) {
        ++at_;
        break;
      }
    }
    if (!head.empty() && head.back() == '\r')
      head.pop_back();
    return true;
  }

private:
  FILE *f_;
  char buffer_[1 << 16];
  size_t size_ = 0, at_ = 0;
  int64_t base_ = 0;
};

bool blank(char c) { return c == ' ' || c == '\t'; }

size_t skipBlanks(const std::string &s, size_t i) {
  while (i < s.size() && blank(s[i]))
    ++i;
  return i;
}

// The run of characters from i that `keep` accepts, at most 255 of them.
template <class Keep> std::string wordAt(const std::string &s, size_t i, Keep keep) {
  size_t j = i;
  while (j < s.size() && keep(static_cast<unsigned char>(s[j])))
    ++j;
  return s.substr(i, std::min<size_t>(j - i, kWordMax));
}

bool startsWith(const std::string &s, size_t i, const char *word) {
  return s.compare(i, strlen(word), word) == 0;
}

// As the reader's token and identifier recognisers take them.
bool tokenChar(unsigned char c) { return c >= 33 && c <= 127; }
bool identifierStart(unsigned char c) { return isalpha(c) || c == '_'; }
bool identifierChar(unsigned char c) { return isalnum(c) || c == '_' || c == '.'; }
bool wordChar(unsigned char c) { return !blank(char(c)) && c; }

// Walks the records of a file; `visit(entry)` returns false to stop. A
// GenBank record's names are complete once its FEATURES or ORIGIN line (or
// the next record) is reached.
template <class Visit> void scanRecords(FILE *f, Visit visit) {
  LineScanner lines(f);
  std::string head;
  int64_t offset = 0;
  long line = 0;
  enum { Unknown, Fasta, Genbank } format = Unknown;
  RecordEntry entry;
  bool open = false, headerDone = false, version = false;
  auto flush = [&]() {
    open = false;
    return visit(entry);
  };
  for (; lines.next(offset, head); ++line) {
    if (!head.empty() && head[0] == '!')
      continue;
    size_t i = skipBlanks(head, 0);
    if (format == Unknown) {
      if (i == head.size())
        continue;
      format = head[i] == '>' ? Fasta : Genbank;
    }
    if (format == Fasta) {
      if (i < head.size() && head[i] == '>') {
        entry = RecordEntry();
        entry.offset = offset;
        entry.line = line;
        entry.name = wordAt(head, skipBlanks(head, i + 1), wordChar);
        entry.aliases = {entry.name};
        if (!visit(entry))
          return;
      }
      continue;
    }
    if (startsWith(head, i, "LOCUS")) {
      if (open && !flush())
        return;
      entry = RecordEntry();
      entry.offset = offset;
      entry.line = line;
      size_t at = skipBlanks(head, i + 5);
      if (at < head.size() &&
          (isalnum(static_cast<unsigned char>(head[at])) || head[at] == '_' || head[at] == '-'))
        entry.name = wordAt(head, at, tokenChar);
      entry.aliases = {entry.name};
      open = true;
      headerDone = version = false;
      continue;
    }
    if (!open || headerDone)
      continue;
    if (startsWith(head, i, "ACCESSION")) {
      std::string accession = wordAt(head, skipBlanks(head, i + 9), wordChar);
      if (!accession.empty())
        entry.aliases.push_back(accession);
    } else if (startsWith(head, i, "VERSION") && !version) {
      size_t at = skipBlanks(head, i + 7);
      if (at < head.size() && identifierStart(static_cast<unsigned char>(head[at]))) {
        entry.name = wordAt(head, at, identifierChar);
        entry.aliases.push_back(entry.name);
        version = true;
      }
    } else if (startsWith(head, i, "FEATURES") || startsWith(head, i, "ORIGIN")) {
      headerDone = true;
      if (!flush())
        return;
    }
  }
  if (open)
    flush();
}

bool allDigits(const char *s) {
  if (!*s)
    return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9')
      return false;
  return true;
}

std::string listedNames(const std::vector<std::string> &names, size_t total) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i)
    text += (i ? ", " : "") + (names[i].empty() ? std::string("(no name)") : names[i]);
  if (total > names.size())
    text += ", ...";
  return text;
}

} // namespace

FILE *openDecompressed(FILE *raw, const char *fileName, const char *place) {
  if (!raw || !gzipMagic(fileno(raw)))
    return raw;
  auto z = std::make_unique<Inflater>();
  z->raw = raw;
  z->name = fileName ? fileName : "";
  z->place = place ? place : "";
  z->gz = openGz(raw);
  if (!z->gz)
    return raw;
  cookie_io_functions_t io{inflaterRead, nullptr, inflaterSeek, inflaterClose};
  FILE *f = fopencookie(z.get(), "r", io);
  if (!f) {
    gzclose(z->gz);
    return raw;
  }
  z->stream = f;
  gInflaters.push_back(z.release());
  return f;
}

bool isDecompressed(FILE *f) { return inflaterOf(f) != nullptr; }

long sourcePosition(FILE *f) {
  if (Inflater *z = inflaterOf(f))
    return long(gzoffset(z->gz));
  return ftell(f);
}

void checkStreamDamage(FILE *f) {
  Inflater *z = inflaterOf(f);
  if (z && z->damaged)
    reportFatal(kErrDamagedGzip, z->name.c_str(), z->place.c_str());
}

void checkWholeStream(FILE *f) {
  Inflater *z = inflaterOf(f);
  if (!z)
    return;
  for (;;) { // text behind the position goes as it comes
    z->pos = z->textEnd();
    if (!z->more())
      break;
  }
  checkStreamDamage(f);
}

bool verifyCompressedFile(const char *fileName, const char *place) {
  FILE *raw = openInputFile(fileName);
  if (!raw)
    return true;
  bool sound = true;
  if (gzipMagic(fileno(raw))) {
    gzFile gz = openGz(raw);
    if (gz) {
      std::vector<char> sink(kChunk);
      while (gzread(gz, sink.data(), kChunk) > 0) {
      }
      int err = Z_OK;
      gzerror(gz, &err);
      sound = err == Z_OK;
      gzclose(gz);
    }
  }
  fclose(raw);
  if (!sound) {
    try {
      reportFatal(kErrDamagedGzip, fileName, place);
    } catch (const ReaderError &) {
    }
  }
  return sound;
}

void seekRecord(FILE *f, const char *choice, RecordFound &found, const char *fileName,
                const char *place) {
  const bool byNumber = choice[0] == '#';
  const char *digits = byNumber ? choice + 1 : choice;
  const long number = allDigits(digits) ? strtol(digits, nullptr, 10) : 0;
  std::set<std::string> earlier; // names of the records before the one wanted
  std::vector<std::string> firstNames;
  RecordEntry byName, numbered;
  bool named = false, earlierHasName = false;
  size_t count = 0;
  scanRecords(f, [&](const RecordEntry &e) {
    ++count;
    if (firstNames.size() < 5)
      firstNames.push_back(e.name);
    if (long(count) == number) {
      numbered = e;
      earlierHasName = e.name.empty() || earlier.count(e.name) > 0;
      if (byNumber)
        return false;
    }
    if (!byNumber && std::find(e.aliases.begin(), e.aliases.end(), choice) != e.aliases.end()) {
      byName = e;
      named = true;
      return false;
    }
    if (long(count) < number)
      earlier.insert(e.aliases.begin(), e.aliases.end());
    return true;
  });
  checkStreamDamage(f);
  const RecordEntry *e = named                                 ? &byName
                         : number > 0 && long(count) >= number ? &numbered
                                                               : nullptr;
  if (!e) {
    std::string detail = std::string(": ") + choice + "; the file holds " + std::to_string(count) +
                         (count == 1 ? " record" : " records") +
                         (count ? ": " + listedNames(firstNames, count) : "");
    reportFatalDetail(kErrNoSuchRecord, detail.c_str(), fileName, place);
  }
  if (fseeko(f, e->offset, SEEK_SET) != 0)
    reportFatal(kErrSeek, fileName, place);
  found.index = named ? int(count) : int(number);
  found.line = e->line;
  found.name = e->name;
  if (named)
    found.canonical = choice;
  else
    found.canonical = earlierHasName ? "#" + std::to_string(number) : e->name;
}

bool listRecords(const char *fileName, std::vector<RecordEntry> &records, size_t keep,
                 size_t *total) {
  records.clear();
  *total = 0;
  FILE *raw = openInputFile(fileName);
  if (!raw)
    return false;
  FILE *f = openDecompressed(raw, fileName, "");
  scanRecords(f, [&](const RecordEntry &e) {
    if (records.size() < keep)
      records.push_back(e);
    ++*total;
    return true;
  });
  Inflater *z = inflaterOf(f);
  const bool sound = !(z && z->damaged) && !ferror(f);
  fclose(f);
  return sound;
}
