// The texts the corpus tools show.
#pragma once

#include <string_view>

namespace crv {

inline constexpr std::string_view kUpdatingWordList = "Updating word list, processing %1...";
inline constexpr std::string_view kRefNamesLimit =
    "Current limitation of Word List / Concordance references:\nOnly %1 different primary "
    "reference names can be indexed. Other names will be shown as \"???\".";
inline constexpr std::string_view kRefChapterLimit =
    "Current limitation of Word List / Concordance references:\nSecondary references larger "
    "than %1 will be shown as %1.";
inline constexpr std::string_view kRefVerseLimit =
    "Current limitation of Word List / Concordance references:\nTertiary references larger "
    "than %1 will be shown as %1.";

inline constexpr std::string_view kSelectCorpus = "Please select a text corpus from the list.";
inline constexpr std::string_view kNameOutput = "Please provide a name for the output file.";
inline constexpr std::string_view kEnterSearch = "Please enter a word or phrase for search for.";
inline constexpr std::string_view kNeedFiles =
    "The list of Files to Process must contain at least one file.";
inline constexpr std::string_view kMatchesAboveZero =
    "The number of Matches to Display must be greater than zero.";
inline constexpr std::string_view kReferencesAboveZero =
    "The number of References to Display must be greater than zero.";
inline constexpr std::string_view kFailedToAccess =
    "%1\nFailed to access this file.\n\nPlease check whether it is also open in another program.";
inline constexpr std::string_view kWordListFailed = "Error in creating word list.";
inline constexpr std::string_view kConcordanceFailed = "Error in performing concordance lookup.";
inline constexpr std::string_view kFileNotKept =
    "Internal Error in Concordance Lookup: File %1 not in KeepList\n";
inline constexpr std::string_view kSaveBeforeRun =
    "If you do not save these files before proceeding, your changes will not be reflected in "
    "the results.  Do you want to save all open files before proceeding?";
inline constexpr std::string_view kNoBookReferences =
    "The  Book References  language is not available.\nIf you'd like to sort references by "
    "book, chapter, and verse :\ncopy BookRef.lng to your project settings folder,\nrestart "
    "Corvane, and redo this concordance.";

// Failures the corpus tools add.
inline constexpr std::string_view kFileTooLargeToIndex =
    "%1\nThis file is too large for a word list or concordance (4 GB at most).";
inline constexpr std::string_view kTooManyFiles =
    "The list of Files to Process can hold at most 65535 files.";
inline constexpr std::string_view kIndexNotWritten =
    "%1\nThe word index file could not be written: %2\n\nThe results are complete; the next run "
    "will read the files again.";
inline constexpr std::string_view kOutputNotWritten =
    "%1\nFailed to write this file.\n\nPlease check whether there is enough disk space.";
inline constexpr std::string_view kOutputNotCreated =
    "%1\nFailed to write this file.\n\nPlease check whether the disk is write-protected.";
inline constexpr std::string_view kReplaceOtherFile =
    "%1\nThis file is not a word list or concordance.\n\nDo you want to replace it with the "
    "results?";
inline constexpr std::string_view kDeleteCorpus =
    "Do you want to delete the text corpus named \"%1\"?";

} // namespace crv
