// Helpers of the document tests: a settings folder with a lexicon type (date stamps in
// \dt) and a text type, a document manager over it, scripted import dialogs, and a file
// operation that fails on request.
#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/doc_manager.h"
#include "app/import_dialog.h"
#include "base/file_names.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv::test {

inline const char* const kLexiconType =
    "\\+DatabaseType Lexicon\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
    "\\mkrRecord lx\r\n\r\n"
    "\\+mkr lx\r\n\\nam Lexeme\r\n\\lng Default\r\n\\-mkr\r\n"
    "\\+mkr ge\r\n\\nam Gloss\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\+mkr dt\r\n\\nam Date\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\-mkrset\r\n\\mkrRecord lx\r\n\\mkrDateStamp dt\r\n\\-DatabaseType\r\n";
inline const char* const kTextType =
    "\\+DatabaseType Text\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
    "\\mkrRecord id\r\n\r\n\\+mkr id\r\n\\nam Text\r\n\\lng Default\r\n\\-mkr\r\n"
    "\\-mkrset\r\n\\mkrRecord id\r\n\\-DatabaseType\r\n";

// The import dialog shown with choices taken from a script, one per showing; an empty
// script cancels.
struct ImportChoice {
    ImportChoice(std::string type, bool ztt = false, std::string table = {}, bool indent = true,
                 bool keepOriginal = false)
        : typeName(std::move(type)), useChangeTable(ztt), changeTable(std::move(table)),
          removeIndent(indent), backup(keepOriginal) {}
    std::string typeName;
    bool useChangeTable = false;
    std::string changeTable;
    bool removeIndent = true;
    bool backup = false;
};

class ScriptedDialogs : public CPlatformDocumentDialogs {
public:
    bool RunImportDialog(CImportDialog& dialog) override {
        ++shown;
        modes.push_back(dialog.Mode());
        while (!script.empty()) {
            ImportChoice c = script.front();
            script.pop_front();
            dialog.typeName = c.typeName;
            if (dialog.OptionsEnabled()) {
                dialog.useChangeTable = c.useChangeTable;
                dialog.changeTable = c.changeTable;
                dialog.removeIndent = c.removeIndent;
                dialog.backupOriginal = c.backup;
            }
            if (dialog.Confirm())
                return true;
        }
        return false;
    }
    bool TypeNotFound(std::string_view text) override {
        typeNotFound.push_back(std::string(text));
        return importAsOther;
    }

    std::deque<ImportChoice> script;
    int shown = 0;
    std::vector<ImportMode> modes;
    bool importAsOther = false;
    std::vector<std::string> typeNotFound;
};

// Fails creating, the n-th rename, or copying (counted from 1) when asked; otherwise the real ones.
class FailingOps : public FileOps {
public:
    int CreateNew(const std::string& path) override {
        if (failCreate)
            return -1;
        return FileOps::CreateNew(path);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        ++renames;
        if (renames == failRename)
            return false;
        return FileOps::Rename(from, to);
    }
    bool MakeDurableCopy(const std::string& from, const std::string& to) override {
        if (failCopy)
            return false;
        return FileOps::MakeDurableCopy(from, to);
    }
    int renames = 0;
    int failRename = 0;
    bool failCopy = false;
    bool failCreate = false;
};

class DocTest : public PlatformTest {
protected:
    DocTest() {
        WriteFileBytes(settings.File("Lexicon.typ"), kLexiconType);
        WriteFileBytes(settings.File("Text.typ"), kTextType);
        encodings = std::make_unique<CLangEncSet>(settings.Path().string());
        encodings->LoadAll();
        types = std::make_unique<CDatabaseTypeSet>(*encodings);
        types->LoadAll();
        docs = std::make_unique<CDocManager>(*types, import);
        docs->SetDialogs(&dialogs);
        docs->SetOps(&ops);
        // A fixed day: 5 March 2024, noon local time.
        docs->SetClock(CDateClock([] {
            std::tm t{};
            t.tm_year = 124;
            t.tm_mon = 2;
            t.tm_mday = 5;
            t.tm_hour = 12;
            t.tm_isdst = -1;
            return std::mktime(&t);
        }));
    }
    ~DocTest() override {
        docs.reset();
        types.reset();
        encodings.reset();
    }

    std::string Db(const std::string& name, const std::string& bytes) {
        std::string path = dir.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    // The names of the files in the database folder, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::string Lexicon(const std::string& records, bool fourDigit = true) {
        return std::string("\\_sh v3.0  400  Lexicon\r\n") +
               (fourDigit ? "\\_DateStampHasFourDigitYear\r\n" : "") + "\r\n" + records;
    }

    ScratchDir settings;
    ScratchDir dir;
    std::unique_ptr<CLangEncSet> encodings;
    std::unique_ptr<CDatabaseTypeSet> types;
    CImportSettings import;
    ScriptedDialogs dialogs;
    FailingOps ops;
    std::unique_ptr<CDocManager> docs;
};

} // namespace crv::test
