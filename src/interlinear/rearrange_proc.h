// The Rearrange and Generate process and its rule file: a database whose first record
// holds rules (\ru: a pattern line and an output line) and definitions (\def: a name,
// then one alternative per line). Rearrange reorders the words of a column by the first
// matching rule; Generate rewrites a column's morphemes into surface forms.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "interlinear/interlinear_proc.h"

namespace crv {

// A rule file as loaded: the rules in order, the definitions by name.
class CRearrangeRules {
public:
    struct Rule {
        std::string pattern;
        std::string output;
    };
    // Reads the fields of record (markers ru and def).
    void Load(const CRecord& record, const CMarker* ru, const CMarker* def);
    const std::vector<Rule>& Rules() const { return m_rules; }
    // The alternatives of a definition, each a list of items; null when none is named so.
    const std::vector<std::vector<std::string>>* Definition(const std::string& name) const;

    // A word and the part-of-speech word at its column.
    struct Token {
        std::string text;
        std::string pos;
    };
    // Rearrange: the output of the first rule whose pattern matches tokens from at;
    // consumed is the number of tokens it took (0: no rule matched).
    std::string Rearrange(const std::vector<Token>& tokens, std::size_t at,
                          std::size_t& consumed) const;
    // Generate: every rule applied in turn, again and again while it matches.
    std::string Generate(std::string text) const;
    // Messages met (left recursion, empty definitions), each once.
    const std::vector<std::string>& Messages() const { return m_messages; }

private:
    struct Capture {
        std::string name;
        std::string text;
    };
    // Ends of the token positions an item can match from at (empty: no match).
    std::vector<std::size_t> MatchItem(const std::string& item, const std::vector<Token>& tokens,
                                       std::size_t at, int depth) const;
    bool MatchPattern(const std::vector<std::string>& items, std::size_t i,
                      const std::vector<Token>& tokens, std::size_t at, std::vector<Capture>& caps,
                      std::size_t& end) const;
    // Text alternatives of a definition for Generate (literal texts).
    std::vector<std::string> Texts(const std::string& name, int depth) const;
    void Report(std::string text) const;

    std::vector<Rule> m_rules;
    std::map<std::string, std::vector<std::vector<std::string>>> m_defs;
    mutable std::vector<std::string> m_messages;
    mutable std::set<std::string> m_reported;
};

class CRearrangeProc : public CInterlinearProc {
public:
    CRearrangeProc(CInterlinearProcList* owner, bool generate);
    CRearrangeProc(const CRearrangeProc& other);

    Kind GetKind() const override { return m_generate ? Kind::Generate : Kind::Rearrange; }
    std::unique_ptr<CInterlinearProc> Clone() const override;

    CMarker* PosMarker() const { return m_pos.Marker(); }
    void SetPosMarker(CMarker* m) { m_pos.Set(m); }
    CMarker* PuncMarker() const { return m_punc.Marker(); }
    void SetPuncMarker(CMarker* m) { m_punc.Set(m); }
    CDbRefList& RuleFile() { return m_ruleFile; }
    bool keepMorphemeBreaks = false;
    std::string boundary = "#";

    ProcStatus Interlinearize(CInterlinearRun& run, CColumn& column) override;
    void MarkerDeleting(const CMarker* marker) override;
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    void WriteProperties(ObjectStream& os) const override;
    bool ReadProperty(ObjectStream& is, CDatabaseType& type) override;
    void PropertiesConfirmed() override { m_loaded = false; }
    void InvalidateIndexes() override { m_loaded = false; }

    // Loads the rule file when not loaded (messages shown); null when it cannot be.
    const CRearrangeRules* Rules(COpenDatabases* dbs);
    // The Generate steps on one column's text (for the tests).
    std::string GenerateText(std::string_view source, const CRearrangeRules& rules) const;

private:
    bool m_generate;
    CMarkerRef m_pos;
    CMarkerRef m_punc;
    CDbRefList m_ruleFile;
    CRearrangeRules m_rules;
    bool m_loaded = false;
    bool m_usable = false;
};

} // namespace crv
