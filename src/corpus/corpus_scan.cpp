#include "corpus/corpus_scan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "base/sf_syntax.h"
#include "corpus/corpus.h"
#include "corpus/corpus_messages.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

// How many book names may stand in the table before those no reference uses are dropped.
constexpr std::size_t kCompactNamesAt = 200;

std::string WithBackslash(const std::string& name) { return name.empty() ? name : "\\" + name; }

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

// The letters and digits of a corpus name, for its index file's name.
std::string IndexFileBase(std::string_view name) {
    std::string base;
    for (char ch : name)
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
            base += ch;
    if (base.size() > 32)
        base.resize(32);
    return base.empty() ? std::string("corpus") : base;
}

bool StatFile(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string TimeText(std::time_t t) {
    struct tm tm {};
    if (!gmtime_r(&t, &tm))
        return std::string(CWordIndex::kUnsureTime);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04i/%02i/%02i,%02i:%02i:%02i", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    // A year past four digits cannot be stored; such a file is read every time.
    return std::strlen(buf) == CWordIndex::kUnsureTime.size()
               ? std::string(buf)
               : std::string(CWordIndex::kUnsureTime);
}

// A chapter or verse number: the absolute value of the number at the start of text (0
// when there is none), at most max.
int RefNumber(std::string_view text, int max, bool& over) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min<long>(n * 10 + (text[i] - '0'), 1000000);
    over = n > max;
    return static_cast<int>(std::min<long>(n, max));
}

std::string_view Trimmed(std::string_view text) {
    auto space = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// Past the reference number that begins a chapter or verse field ("1", "1-2", "3a").
std::size_t PastNumberToken(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t')
        ++i;
    return i;
}

// The reading of one file: the reference state and where each word goes.
class FileScanner {
public:
    FileScanner(const CCorpusScan& scan, std::uint16_t number, const std::string& path,
                CWordIndex& index, CWordTable& words, CRefLimitNotices& notices)
        : m_scan(scan), m_number(number), m_path(path), m_index(index), m_words(words),
          m_notices(notices) {}

    void Scan(std::string_view bytes) {
        const char* base = bytes.data();
        const char* p = base;
        const char* end = base + bytes.size();
        bool inWords = false;
        while (p < end) {
            auto* nl =
                static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* lineEnd = nl ? nl : end;
            std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            SFLine l = ClassifyLine(line);
            switch (l.kind) {
            case SFLineKind::Marker: {
                bool isRef = MarkerLine(l.name, l.text);
                inWords = IsWordMarker(l.name);
                if (inWords) {
                    std::size_t skip = isRef ? PastNumberToken(l.text) : 0;
                    Words(l.text.substr(skip),
                          static_cast<std::size_t>(l.text.data() - base) + skip);
                }
                break;
            }
            case SFLineKind::Text:
            case SFLineKind::EscapedText:
                if (inWords)
                    Words(line, static_cast<std::size_t>(p - base));
                break;
            default:
                inWords = false; // control lines and "??" fields hold no words
                break;
            }
            p = nl ? nl + 1 : end;
        }
    }

private:
    bool IsWordMarker(std::string_view name) const {
        for (const std::string& m : m_scan.wordMarkers)
            if (SameName(m, name))
                return true;
        return false;
    }

    // Takes the references of a marker line; true for a chapter or verse line.
    bool MarkerLine(std::string_view name, std::string_view text) {
        bool over = false;
        bool isRef = false;
        if (SameName(name, m_scan.bookMarker)) {
            bool full = false;
            m_book = m_index.BookNumber(Trimmed(text), full);
            m_hasBook = true;
            m_chap = m_verse = 0;
            Notice(full, m_notices.names, kRefNamesLimit);
        }
        if (SameName(name, m_scan.chapMarker)) {
            m_chap = RefNumber(text, CWordIndex::kMaxRefNumber, over);
            m_verse = 0;
            Notice(over, m_notices.chapters, kRefChapterLimit);
            isRef = true;
        }
        if (SameName(name, m_scan.verseMarker)) {
            m_verse = RefNumber(text, CWordIndex::kMaxRefNumber, over);
            Notice(over, m_notices.verses, kRefVerseLimit);
            isRef = true;
        }
        return isRef;
    }

    void Notice(bool happened, bool& shown, std::string_view text) {
        if (!happened || shown)
            return;
        shown = true;
        platform().ShowMessage(FormatMessage(text, {std::to_string(CWordIndex::kMaxRefNumber)}),
                               MessageKind::Information);
    }

    void Words(std::string_view text, std::size_t offset) {
        m_scan.chars->ForEachWord(text, [&](const CWordSpan& span, std::string_view word) {
            // A text without a book line is referred to by its file's name.
            if (!m_hasBook) {
                bool full = false;
                m_book = m_index.BookNumber(FileName(m_path), full);
                m_hasBook = true;
                Notice(full, m_notices.names, kRefNamesLimit);
            }
            CWordRef ref;
            ref.file = m_number;
            ref.offset = static_cast<std::uint32_t>(offset + span.begin);
            ref.book = m_book;
            ref.chap = static_cast<std::uint8_t>(m_chap);
            ref.verse = static_cast<std::uint8_t>(m_verse);
            m_words.Get(word).Add(ref);
            return true;
        });
    }

    const CCorpusScan& m_scan;
    std::uint16_t m_number;
    const std::string& m_path;
    CWordIndex& m_index;
    CWordTable& m_words;
    CRefLimitNotices& m_notices;
    bool m_hasBook = false;
    std::uint8_t m_book = 0;
    int m_chap = 0;
    int m_verse = 0;
};

} // namespace

CCorpusScan::CCorpusScan(const CCorpus& corpus, const std::string& baseFolder,
                         const CWordChars& wordChars)
    : chars(&wordChars) {
    const CCorpusProperties& p = corpus.Properties();
    for (const std::string& file : p.files) {
        if (std::find(files.begin(), files.end(), file) != files.end())
            continue; // a file listed twice is counted once
        files.push_back(file);
        paths.push_back(ResolvePath(file, baseFolder));
    }
    wordMarkers = MarkerNames(p.wordMarkers);
    bookMarker = MarkerName(p.bookMarker);
    chapMarker = MarkerName(p.chapMarker);
    verseMarker = MarkerName(p.verseMarker);
    indexPath = WordIndexPath(corpus, baseFolder);
}

CWordIndexIdentity CCorpusScan::Identity() const {
    CWordIndexIdentity id;
    id.wordChars = chars->Fingerprint();
    for (const std::string& m : wordMarkers) {
        if (!id.wordMarkers.empty())
            id.wordMarkers += ' ';
        id.wordMarkers += WithBackslash(m);
    }
    id.bookMarker = WithBackslash(bookMarker);
    id.chapMarker = WithBackslash(chapMarker);
    id.verseMarker = WithBackslash(verseMarker);
    return id;
}

std::string ResolvePath(const std::string& path, const std::string& baseFolder) {
    if (path.empty() || baseFolder.empty() || fs::path(path).is_absolute())
        return path;
    return (fs::path(baseFolder) / path).lexically_normal().string();
}

std::string WordIndexPath(const CCorpus& corpus, const std::string& baseFolder) {
    const CCorpusProperties& p = corpus.Properties();
    if (!p.wordIndex.empty())
        return ResolvePath(p.wordIndex, baseFolder);
    std::string folder = baseFolder;
    if (!p.files.empty())
        folder = fs::path(ResolvePath(p.files.front(), baseFolder)).parent_path().string();
    std::string name = IndexFileBase(corpus.Name()) + ".wi";
    return folder.empty() ? name : (fs::path(folder) / name).string();
}

bool FileTimeText(const std::string& path, std::string& time) {
    struct stat st {};
    if (!StatFile(path, st))
        return false;
    time = TimeText(st.st_mtime);
    return true;
}

RunStatus ScanCorpusFile(const CCorpusScan& scan, std::size_t i, std::uint16_t number,
                         CWordIndex& index, CRefLimitNotices& notices, CFileBytes* buffer,
                         CWordTable* words) {
    const std::string& path = scan.paths[i];
    CFileBytes local;
    CFileBytes& bytes = buffer ? *buffer : local;
    if (!bytes.Read(path)) {
        platform().ShowMessage(FormatMessage(kFailedToAccess, {scan.files[i]}));
        return RunStatus::Failed;
    }
    if (bytes.View().size() > 0xFFFFFFFFu) {
        platform().ShowMessage(FormatMessage(kFileTooLargeToIndex, {scan.files[i]}));
        return RunStatus::Failed;
    }
    FileScanner(scan, number, path, index, words ? *words : index.words, notices)
        .Scan(bytes.View());
    return RunStatus::Ok;
}

RunStatus UpdateWordIndex(const CCorpusScan& scan, CWordIndex& index, CRefLimitNotices& notices,
                          CIndexUpdateInfo* info) {
    CIndexUpdateInfo local;
    CIndexUpdateInfo& done = info ? *info : local;
    done = {};
    if (scan.files.size() > 0xFFFF) {
        platform().ShowMessage(kTooManyFiles);
        return RunStatus::Failed;
    }
    CWordIndexIdentity identity = scan.Identity();
    index = CWordIndex();
    // New files are numbered on from the highest number, which must stay in 16 bits.
    bool usable = CWordIndex::Load(scan.indexPath, index) && index.identity == identity &&
                  index.HighestFileNumber() <= CWordIndex::kMaxFileNumber &&
                  index.HighestFileNumber() + scan.files.size() <= 0xFFFF;
    if (!usable) {
        index = CWordIndex();
        index.identity = identity;
        done.rebuilt = true;
    }

    // Which files to read, under which numbers, and which stored ones go.
    struct ToRead {
        std::size_t i;
        std::uint16_t number;
    };
    std::vector<ToRead> toRead;
    std::vector<bool> removed(0x10000, false);
    std::vector<bool> listed(index.files.size(), false);
    std::vector<CIndexedFile> files;
    int next = index.HighestFileNumber();
    bool anyRemoved = false;
    std::unordered_map<std::string_view, std::size_t> storedByPath;
    for (std::size_t k = 0; k < index.files.size(); ++k)
        storedByPath.emplace(index.files[k].path, k);
    for (std::size_t i = 0; i < scan.files.size(); ++i) {
        std::string time;
        if (!FileTimeText(scan.paths[i], time)) {
            platform().ShowMessage(FormatMessage(kFailedToAccess, {scan.files[i]}));
            return RunStatus::Failed;
        }
        auto found = storedByPath.find(scan.files[i]);
        if (found == storedByPath.end()) {
            // New numbers count up from the highest; a rebuild numbers from 1.
            files.push_back({static_cast<std::uint16_t>(++next), scan.files[i], time});
            toRead.push_back({i, files.back().number});
            continue;
        }
        const CIndexedFile* stored = &index.files[found->second];
        listed[found->second] = true;
        files.push_back(*stored);
        if (stored->time != time) {
            removed[stored->number] = true;
            anyRemoved = true;
            toRead.push_back({i, stored->number});
        }
    }
    // Whether the stored files kept their order in the list: then references read again
    // go in their places and every word stays in corpus order.
    bool reordered = false;
    {
        std::vector<int> storedAt(0x10000, -1);
        for (std::size_t k = 0; k < index.files.size(); ++k)
            storedAt[index.files[k].number] = static_cast<int>(k);
        int previous = -1;
        for (const CIndexedFile& f : files) {
            int at = storedAt[f.number];
            if (at < 0)
                continue;
            reordered = reordered || at < previous;
            previous = at;
        }
    }
    for (std::size_t k = 0; k < index.files.size(); ++k)
        if (!listed[k]) {
            removed[index.files[k].number] = true;
            anyRemoved = true;
        }
    if (anyRemoved) {
        index.RemoveFiles(removed);
        // Unused names are dropped only when the table fills: dropping one renumbers
        // the books of every reference.
        if (index.bookNames.size() > kCompactNamesAt)
            index.CompactNames();
    }
    index.files = std::move(files);

    // Each file's place in the list, by number: references are kept in that order.
    std::vector<int> position(0x10000, 0);
    for (std::size_t k = 0; k < index.files.size(); ++k)
        position[index.files[k].number] = static_cast<int>(k);

    if (!toRead.empty()) {
        CFileBytes buffer;
        std::unique_ptr<Progress> progress = platform().BeginProgress(
            FormatMessage(kUpdatingWordList, {FileName(scan.files[toRead[0].i])}),
            static_cast<std::int64_t>(toRead.size()));
        for (const ToRead& r : toRead) {
            progress->SetText(FormatMessage(kUpdatingWordList, {FileName(scan.files[r.i])}));
            if (progress->Cancelled())
                return RunStatus::Cancelled;
            struct stat before {};
            std::time_t started = std::time(nullptr);
            bool statted = StatFile(scan.paths[r.i], before);
            // A file read again goes in its place among each word's references; a
            // rebuild reads the files in list order, so its references just follow.
            CWordTable fresh;
            RunStatus status = ScanCorpusFile(scan, r.i, r.number, index, notices, &buffer,
                                              usable ? &fresh : nullptr);
            if (status != RunStatus::Ok)
                return status;
            int place = position[r.number];
            for (CWordTable::Entry& entry : fresh) {
                bool added = false;
                CRefList& refs = index.words.Get(entry.word, &added);
                if (added)
                    refs = std::move(entry.refs);
                else
                    refs.InsertBefore(entry.refs, [&](const CWordRef& ref) {
                        return position[ref.file] > place;
                    });
            }
            ++done.filesRead;
            // A file changed while it was read, or so recently that a change within the
            // same second would keep its time, is read again next time.
            struct stat after {};
            bool settled = statted && StatFile(scan.paths[r.i], after) &&
                           after.st_mtime == before.st_mtime && after.st_size == before.st_size &&
                           after.st_mtim.tv_nsec == before.st_mtim.tv_nsec &&
                           before.st_mtime + 1 < started;
            for (CIndexedFile& f : index.files)
                if (f.number == r.number)
                    f.time =
                        settled ? TimeText(before.st_mtime) : std::string(CWordIndex::kUnsureTime);
            progress->Step();
        }
    }

    // Every word's references in corpus order (a list whose files changed places), so that
    // lists can stop at their limit.
    bool moved = reordered && index.SortInCorpusOrder(position);
    if (usable && toRead.empty() && !anyRemoved && !moved)
        return RunStatus::Ok;
    SafeWriteResult written = WriteFileSafely(scan.indexPath, [&](std::ostream& os) {
        index.Serialize(os);
        return static_cast<bool>(os);
    });
    if (written)
        done.written = true;
    else
        platform().ShowMessage(FormatMessage(kIndexNotWritten, {scan.indexPath, written.error}));
    return RunStatus::Ok;
}

} // namespace crv
