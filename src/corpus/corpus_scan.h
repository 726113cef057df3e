// Bringing a corpus's word index up to date: which files to read again (new, changed by
// modification time, or all when the stored index is of no use), reading them line by
// line for their references and words, and writing the index file back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corpus/word_chars.h"
#include "corpus/word_index.h"

namespace crv {

class CCorpus;

// A corpus as a run reads it.
struct CCorpusScan {
    CCorpusScan(const CCorpus& corpus, const std::string& baseFolder, const CWordChars& chars);

    std::vector<std::string> files; // as the corpus lists them, each once
    std::vector<std::string> paths; // the same, relative ones taken in baseFolder
    std::vector<std::string> wordMarkers;
    std::string bookMarker;
    std::string chapMarker;
    std::string verseMarker;
    std::string indexPath;
    const CWordChars* chars;

    CWordIndexIdentity Identity() const;
};

// Where a corpus keeps its word index: its WordIndex, else a file named after the corpus
// in the folder of its first file (the base folder when it has none), extension ".wi".
std::string WordIndexPath(const CCorpus& corpus, const std::string& baseFolder);
// path taken in baseFolder when it is relative.
std::string ResolvePath(const std::string& path, const std::string& baseFolder);

// The limit messages, each shown once in a run.
struct CRefLimitNotices {
    bool names = false;
    bool chapters = false;
    bool verses = false;
};

enum class RunStatus { Ok, Cancelled, Failed };

// What an update did, for tests and figures.
struct CIndexUpdateInfo {
    bool rebuilt = false;      // the stored index was missing or of no use
    std::size_t filesRead = 0; // corpus files read
    bool written = false;      // the index file was written
};

// Brings index up to date with the corpus: the index file when it is usable, then the
// files that are new or changed; writes the file back when anything changed (a file that
// cannot be written is told and the run goes on). Failed after the message of a file that
// cannot be read; Cancelled when the progress display was.
RunStatus UpdateWordIndex(const CCorpusScan& scan, CWordIndex& index, CRefLimitNotices& notices,
                          CIndexUpdateInfo* info = nullptr);

// Reads one corpus file (scan.paths[i]) into index as file number: its references and
// the words of its word-marker fields (into words when given, else the index's own);
// buffer (when given) is used for the file's bytes. Failed after its message.
RunStatus ScanCorpusFile(const CCorpusScan& scan, std::size_t i, std::uint16_t number,
                         CWordIndex& index, CRefLimitNotices& notices, CFileBytes* buffer = nullptr,
                         CWordTable* words = nullptr);
// A file's modification time as the index stores it; false when it cannot be had.
bool FileTimeText(const std::string& path, std::string& time);

} // namespace crv
