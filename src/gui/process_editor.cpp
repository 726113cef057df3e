#include "gui/process_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <sstream>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "interlinear/lookup_proc.h"
#include "interlinear/rearrange_proc.h"
#include "schema/database_type.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

using Kind = CInterlinearProc::Kind;

QString MarkerName(const CMarker* m) { return m ? Q(m->Name()) : QString("[none]"); }

// A chooser of the type's markers; optional ones offer "[none]" first.
QComboBox* MarkerCombo(QWidget* parent, const CDatabaseType* type, const CMarker* current,
                       bool optional) {
    auto* box = new QComboBox(parent);
    if (optional)
        box->addItem("[none]");
    if (type)
        for (const CMarker& m : type->MarkerSet())
            box->addItem(Q(m.Name()));
    box->setCurrentIndex(current ? box->findText(Q(current->Name())) : (optional ? 0 : -1));
    return box;
}

CMarker* ChosenMarker(const QComboBox* box, CDatabaseType* type) {
    if (!type || box->currentIndex() < 0 || box->currentText() == "[none]")
        return nullptr;
    return type->MarkerSet().Search(S(box->currentText()));
}

// How a database is named in a reference: by file name in the settings folder, else
// by its whole path.
std::string RefPath(const std::string& path, const std::string& base) {
    QFileInfo f(Q(path));
    if (!base.empty() && QFileInfo(Q(base)).absoluteFilePath() == f.absolutePath())
        return S(f.fileName());
    return path;
}

// A checkable list of the open databases and the ones refs names already.
QListWidget* DatabaseChooser(QWidget* parent, const CDbRefList& refs, CDocManager* docs,
                             const std::string& base) {
    auto* list = new QListWidget(parent);
    auto add = [list](const QString& path, bool on) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == path) {
                if (on)
                    list->item(i)->setCheckState(Qt::Checked);
                return;
            }
        auto* item = new QListWidgetItem(path, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    };
    for (const CDbRef* r = refs.GetFirst(); r; r = refs.GetNext(r))
        add(Q(r->Path()), true);
    if (docs)
        for (CCrvDoc* doc : docs->Documents())
            add(Q(RefPath(doc->Path(), base)), false);
    list->setMaximumHeight(72);
    return list;
}

// The references checked in list, in its order; those already in refs keep their
// settings and what this version does not know of them.
void ApplyDatabases(const QListWidget* list, CDbRefList& refs) {
    std::vector<std::string> chosen;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            chosen.push_back(S(list->item(i)->text()));
    std::vector<std::string> now;
    for (const CDbRef* r = refs.GetFirst(); r; r = refs.GetNext(r))
        now.push_back(r->Path());
    if (chosen == now)
        return;
    CDbRefList out;
    for (const std::string& path : chosen) {
        auto* ref = new CDbRef(path);
        for (CDbRef* r = refs.GetFirst(); r; r = refs.GetNext(r))
            if (r->Path() == path) {
                ref->SetMarkerName(r->MarkerName());
                ref->Unknown() = r->Unknown();
                break;
            }
        out.Add(ref);
    }
    out.Unknown() = refs.Unknown();
    refs = out;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : " ") + n;
    return out;
}

std::vector<std::string> Split(const QString& text) {
    std::vector<std::string> out;
    for (const QString& w : text.split(' ', Qt::SkipEmptyParts))
        out.push_back(S(w));
    return out;
}

} // namespace

QString ProcessRow(const CInterlinearProc& proc) {
    QString row = QString("%1\t%2 > %3")
                      .arg(Q(proc.KindName()), MarkerName(proc.From()), MarkerName(proc.To()));
    if (proc.Adapt())
        row += "\t(adaptation)";
    return row;
}

// ---------------------------------------------------------------- properties

struct ProcessPropertiesDialog::Impl {
    CInterlinearProc* proc = nullptr;
    CDatabaseType* type = nullptr;
    QComboBox* from = nullptr;
    QComboBox* to = nullptr;
    QCheckBox* adapt = nullptr;
    std::vector<std::function<void()>> apply;
};

ProcessPropertiesDialog::ProcessPropertiesDialog(CInterlinearProc& proc, CDocManager* docs,
                                                 QWidget* parent)
    : QDialog(parent), m_impl(std::make_shared<Impl>()) {
    Impl& d = *m_impl;
    d.proc = &proc;
    d.type = proc.Owner() ? proc.Owner()->Type() : nullptr;
    const std::string base = proc.Owner() ? proc.Owner()->Base() : std::string();
    setWindowTitle(Q(proc.KindName()) + " Process");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    d.from = MarkerCombo(this, d.type, proc.From(), false);
    d.from->setObjectName("processFrom");
    d.to = MarkerCombo(this, d.type, proc.To(), false);
    d.to->setObjectName("processTo");
    form->addRow("&From:", d.from);
    form->addRow("&To:", d.to);
    layout->addLayout(form);
    auto check = [&](QLayout* into, const char* text, bool& value) {
        auto* box = new QCheckBox(text, this);
        box->setChecked(value);
        into->addWidget(box);
        d.apply.push_back([box, &value] { value = box->isChecked(); });
        return box;
    };
    auto edit = [&](QFormLayout* into, const char* label, std::string& value) {
        auto* line = new QLineEdit(Q(value), this);
        into->addRow(label, line);
        d.apply.push_back([line, &value] { value = S(line->text()); });
        return line;
    };

    if (auto* lookup = dynamic_cast<CLookupProc*>(&proc)) {
        auto* tabs = new QTabWidget(this);
        auto* options = new QWidget(tabs);
        auto* opts = new QVBoxLayout(options);
        auto* text = new QFormLayout;
        edit(text, "Failure &mark:", lookup->failMark);
        edit(text, "Gloss &separator:", lookup->glossSeparator);
        edit(text, "&Change table:", lookup->ztt);
        opts->addLayout(text);
        auto* grid = new QHBoxLayout;
        auto* left = new QVBoxLayout;
        auto* right = new QVBoxLayout;
        grid->addLayout(left);
        grid->addLayout(right);
        opts->addLayout(grid);
        check(left, "Output failure mar&k", lookup->showFailMark);
        check(left, "Output original &word on failure", lookup->showWord);
        check(left, "&Insert into lexicon on failure", lookup->insertFail);
        check(left, "Apply &ZT table to output", lookup->applyZT);
        check(left, "Stop at separat&or", lookup->stopAtSemicolon);
        check(left, "Keep ca&pitalization", lookup->keepCap);
        check(left, "Keep p&unctuation", lookup->keepPunc);
        if (lookup->IsParse()) {
            check(right, "CR&2 style parse", lookup->cr2Parse);
            check(right, "Output &root guess on parse failure", lookup->showRootGuess);
            check(right, "In&fix before root", lookup->infixBefore);
            check(right, "Prefer pr&efixes search sequence", lookup->preferPrefix);
            check(right, "Prefer suffi&xes", lookup->preferSuffix);
            auto* multiple = new QCheckBox("Allow &multiple roots", this);
            multiple->setChecked(!lookup->noCompRoot);
            right->addWidget(multiple);
            d.apply.push_back([multiple, lookup] { lookup->noCompRoot = !multiple->isChecked(); });
        }
        left->addStretch();
        right->addStretch();
        d.adapt = new QCheckBox("&Adaptation process", this);
        d.adapt->setChecked(proc.Adapt());
        opts->addWidget(d.adapt);
        tabs->addTab(options, "Options");
        // The lexicons each index searches, with the fields it takes keys and values from.
        auto* lexicons = new QWidget(tabs);
        auto* lex = new QVBoxLayout(lexicons);
        std::vector<std::pair<const char*, int>> tries = {
            {"Whole-word lookup", CLexiconTrie::kLookup}};
        if (lookup->IsParse()) {
            tries.push_back({"Affixes (prefixes, suffixes, infixes)", CLexiconTrie::kPrefix});
            tries.push_back({"Roots", CLexiconTrie::kRoot});
        }
        for (auto [label, k] : tries) {
            CLexiconTrie& trie = lookup->Trie(k);
            auto* group = new QGroupBox(label, lexicons);
            auto* g = new QFormLayout(group);
            QListWidget* dbs = DatabaseChooser(group, trie.Databases(), docs, base);
            g->addRow("Databases:", dbs);
            auto* keys = new QLineEdit(Q(Joined(trie.matchMarkers)), group);
            g->addRow("Key markers:", keys);
            auto* out = new QLineEdit(Q(trie.outMarker), group);
            g->addRow("Output marker:", out);
            lex->addWidget(group);
            d.apply.push_back([dbs, keys, out, &trie, docs] {
                ApplyDatabases(dbs, trie.Databases());
                trie.matchMarkers = Split(keys->text());
                trie.outMarker = S(out->text());
                // A lexicon chosen first names the type its markers belong to.
                if (trie.dbType.empty() && docs && trie.Databases().GetFirst())
                    for (CCrvDoc* doc : docs->Documents())
                        if (QFileInfo(Q(doc->Path())).fileName() ==
                                QFileInfo(Q(trie.Databases().GetFirst()->Path())).fileName() &&
                            doc->IsOpen())
                            trie.dbType = doc->Type().Name();
            });
        }
        d.apply.push_back([lookup] { lookup->CopyAffixDatabases(); });
        tabs->addTab(lexicons, "Lexicons");
        layout->addWidget(tabs);
    } else if (auto* rearrange = dynamic_cast<CRearrangeProc*>(&proc)) {
        auto* more = new QFormLayout;
        QComboBox* pos = MarkerCombo(this, d.type, rearrange->PosMarker(), true);
        QComboBox* punc = MarkerCombo(this, d.type, rearrange->PuncMarker(), true);
        more->addRow("&Part of speech:", pos);
        more->addRow("P&unctuation:", punc);
        const CDbRef* rule = rearrange->RuleFile().GetFirst();
        auto* file = new QLineEdit(rule ? Q(rule->Path()) : QString(), this);
        file->setObjectName("ruleFile");
        more->addRow("&Rule file:", file);
        layout->addLayout(more);
        check(layout, "&Keep morpheme breaks", rearrange->keepMorphemeBreaks);
        Impl* impl = &d;
        d.apply.push_back([impl, pos, punc, file, rearrange] {
            rearrange->SetPosMarker(ChosenMarker(pos, impl->type));
            rearrange->SetPuncMarker(ChosenMarker(punc, impl->type));
            CDbRefList& refs = rearrange->RuleFile();
            const std::string path = S(file->text().trimmed());
            if (refs.GetFirst() && refs.GetFirst()->Path() == path)
                return;
            CDbRefList out;
            if (!path.empty())
                out.Add(new CDbRef(path));
            out.Unknown() = refs.Unknown();
            refs = out;
        });
    }
    if (!d.adapt) {
        d.adapt = new QCheckBox("&Adaptation process", this);
        d.adapt->setChecked(proc.Adapt());
        layout->addWidget(d.adapt);
    }
    auto* box = OkCancelButtons(this);
    layout->addWidget(box);
}

void ProcessPropertiesDialog::accept() {
    Impl& d = *m_impl;
    CMarker* from = ChosenMarker(d.from, d.type);
    CMarker* to = ChosenMarker(d.to, d.type);
    if (!from || !to) {
        platform().ShowMessage("Choose the marker the process reads (From) and the one it "
                               "writes (To).");
        return;
    }
    if (from == to) {
        platform().ShowMessage("A process cannot write the line it reads: choose another To "
                               "marker.");
        return;
    }
    d.proc->SetFrom(from);
    d.proc->SetTo(to);
    d.proc->SetAdapt(d.adapt->isChecked());
    for (const auto& fn : d.apply)
        fn();
    QDialog::accept();
}

// ---------------------------------------------------------------- the list

ProcessEditorDialog::ProcessEditorDialog(const CInterlinearProcList& list, CDocManager* docs,
                                         QWidget* parent)
    : QDialog(parent), m_work(std::make_unique<CInterlinearProcList>(list.Type(), list.Locator())),
      m_docs(docs) {
    for (const CInterlinearProc* p = list.GetFirst(); p; p = list.GetNext(p))
        m_work->AddProc(p->Clone());
    m_work->SetForcedGloss(list.ForcedGlossStart(), list.ForcedGlossEnd());
    m_work->SetMorphophonemicBoundary(list.MorphophonemicBoundary());
    m_work->SetMorphemeBreaks(list.MorphemeBreaks());
    setWindowTitle(list.Type() ? Q("Interlinear Processes - " + list.Type()->Name())
                               : QString("Interlinear Processes"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* label = new QLabel("&Processes, in the order they run:", this);
    m_list = new QListWidget(this);
    m_list->setObjectName("processList");
    label->setBuddy(m_list);
    left->addWidget(label);
    left->addWidget(m_list);
    top->addLayout(left, 1);
    auto* buttons = new QVBoxLayout;
    auto button = [&](const char* text, const char* name, void (ProcessEditorDialog::*fn)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, fn);
        buttons->addWidget(b);
    };
    button("&Add...", "processAdd", &ProcessEditorDialog::Add);
    button("&Modify...", "processModify", &ProcessEditorDialog::Modify);
    button("&Delete", "processDelete", &ProcessEditorDialog::Delete);
    button("&Quick Setup...", "processQuickSetup", &ProcessEditorDialog::QuickSetup);
    buttons->addStretch();
    top->addLayout(buttons);
    layout->addLayout(top);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ProcessEditorDialog::Modify);

    auto* chars = new QFormLayout;
    auto one = [this](char c) {
        auto* e = new QLineEdit(QString(QChar(c)), this);
        e->setMaxLength(1);
        e->setMaximumWidth(40);
        return e;
    };
    m_forcedStart = one(m_work->ForcedGlossStart());
    m_forcedEnd = one(m_work->ForcedGlossEnd());
    auto* forced = new QHBoxLayout;
    forced->addWidget(m_forcedStart);
    forced->addWidget(m_forcedEnd);
    forced->addStretch();
    auto* forcedLabel = new QLabel("Forced &gloss start and end:", this);
    forcedLabel->setBuddy(m_forcedStart);
    chars->addRow(forcedLabel, forced);
    m_boundary = one(m_work->MorphophonemicBoundary());
    chars->addRow("Morpho&phonemic boundary:", m_boundary);
    m_breaks = new QLineEdit(Q(m_work->MorphemeBreaks()), this);
    m_breaks->setMaximumWidth(120);
    chars->addRow("Morpheme &breaks:", m_breaks);
    layout->addLayout(chars);
    auto* box = OkCancelButtons(this);
    layout->addWidget(box);
    Refill();
    resize(560, 380);
}

ProcessEditorDialog::~ProcessEditorDialog() = default;

void ProcessEditorDialog::Refill() {
    const int row = m_list->currentRow();
    m_list->clear();
    for (const CInterlinearProc* p = m_work->GetFirst(); p; p = m_work->GetNext(p))
        m_list->addItem(ProcessRow(*p).replace('\t', "   "));
    if (m_list->count() > 0)
        m_list->setCurrentRow(std::clamp(row, 0, m_list->count() - 1));
}

CInterlinearProc* ProcessEditorDialog::Selected() const {
    int row = m_list->currentRow();
    CInterlinearProc* p = row < 0 ? nullptr : m_work->GetFirst();
    while (p && row-- > 0)
        p = m_work->GetNext(p);
    return p;
}

void ProcessEditorDialog::Add() {
    const QStringList kinds = {"Lookup", "Parse", "Rearrange", "Generate", "Given"};
    bool ok = false;
    const QString kind =
        QInputDialog::getItem(this, "Select Process", "&Process:", kinds, 0, false, &ok);
    if (!ok || !kinds.contains(kind))
        return;
    auto proc = m_work->MakeProc(static_cast<Kind>(kinds.indexOf(kind)));
    ProcessPropertiesDialog dialog(*proc, m_docs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    proc->PropertiesConfirmed();
    m_work->AddProc(std::move(proc));
    Refill();
    m_list->setCurrentRow(m_list->count() - 1);
}

void ProcessEditorDialog::Modify() {
    CInterlinearProc* proc = Selected();
    if (!proc)
        return;
    auto edited = proc->Clone();
    edited->SetOwner(m_work.get());
    ProcessPropertiesDialog dialog(*edited, m_docs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_work->ReplaceProc(proc, std::move(edited));
    Refill();
}

void ProcessEditorDialog::Delete() {
    if (m_work->DeleteProc(Selected()))
        Refill();
}

void ProcessEditorDialog::QuickSetup() {
    CDatabaseType* type = m_work->Type();
    if (!type)
        return;
    QDialog dialog(this);
    dialog.setWindowTitle("Quick Setup");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    QComboBox* text = MarkerCombo(&dialog, type, m_work->TextMarker(), false);
    QComboBox* morphemes = MarkerCombo(&dialog, type, nullptr, false);
    QComboBox* gloss = MarkerCombo(&dialog, type, nullptr, false);
    QComboBox* pos = MarkerCombo(&dialog, type, nullptr, true);
    auto* breaks = new QLineEdit(Q(m_work->MorphemeBreaks()), &dialog);
    form->addRow("&Text Marker:", text);
    form->addRow("Morpheme &Breaks:", breaks);
    form->addRow("&Morpheme Marker:", morphemes);
    form->addRow("&Gloss Marker:", gloss);
    form->addRow("&Part of Speech Marker:", pos);
    layout->addLayout(form);
    layout->addWidget(new QLabel("&Lexicon databases to search:", &dialog));
    QListWidget* lexicons = DatabaseChooser(&dialog, CDbRefList(), m_docs, m_work->Base());
    lexicons->setMaximumHeight(QWIDGETSIZE_MAX);
    layout->addWidget(lexicons);
    auto* lexForm = new QFormLayout;
    auto* lexGloss = new QLineEdit("ge", &dialog);
    auto* lexPos = new QLineEdit("ps", &dialog);
    lexForm->addRow("Lexicon's gloss marker:", lexGloss);
    lexForm->addRow("Lexicon's part of speech marker:", lexPos);
    layout->addLayout(lexForm);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, &dialog, [&] {
        CQuickSetup setup;
        setup.textMarker = S(text->currentText());
        setup.morphemeBreaks = S(breaks->text());
        setup.morphemeMarker = S(morphemes->currentText());
        setup.glossMarker = S(gloss->currentText());
        setup.posMarker = pos->currentIndex() <= 0 ? std::string() : S(pos->currentText());
        setup.lexiconGloss = S(lexGloss->text());
        setup.lexiconPos = S(lexPos->text());
        for (int i = 0; i < lexicons->count(); ++i)
            if (lexicons->item(i)->checkState() == Qt::Checked)
                setup.lexicons.push_back(S(lexicons->item(i)->text()));
        // The lexicons' type and record marker come from the first one open.
        if (m_docs && !setup.lexicons.empty())
            for (CCrvDoc* doc : m_docs->Documents())
                if (doc->IsOpen() && RefPath(doc->Path(), m_work->Base()) == setup.lexicons[0]) {
                    setup.lexiconType = doc->Type().Name();
                    if (const CMarker* rm = doc->Type().RecordMarker())
                        setup.lexiconRecordMarker = rm->Name();
                }
        std::string error;
        if (!ApplyQuickSetup(*m_work, setup, error)) {
            platform().ShowMessage(error);
            return;
        }
        dialog.accept();
    });
    if (dialog.exec() == QDialog::Accepted) {
        m_breaks->setText(Q(m_work->MorphemeBreaks()));
        Refill();
    }
}

bool ProcessEditorDialog::Apply(CInterlinearProcList& list) const {
    auto one = [](const QLineEdit* e, char old) {
        const std::string s = S(e->text());
        return s.size() == 1 ? s[0] : old;
    };
    m_work->SetForcedGloss(one(m_forcedStart, m_work->ForcedGlossStart()),
                           one(m_forcedEnd, m_work->ForcedGlossEnd()));
    m_work->SetMorphophonemicBoundary(one(m_boundary, m_work->MorphophonemicBoundary()));
    m_work->SetMorphemeBreaks(S(m_breaks->text()));
    auto text = [](const CInterlinearProcList& l) {
        std::ostringstream out;
        ObjectStream os(out);
        l.Write(os);
        return out.str();
    };
    // The list's own unknown entries stay with it; only what was edited moves over.
    const std::string before = text(list);
    const bool wasModified = list.IsModified();
    list.SetForcedGloss(m_work->ForcedGlossStart(), m_work->ForcedGlossEnd());
    list.SetMorphophonemicBoundary(m_work->MorphophonemicBoundary());
    list.SetMorphemeBreaks(m_work->MorphemeBreaks());
    while (CInterlinearProc* p = list.GetFirst())
        list.Delete(p);
    for (const CInterlinearProc* p = m_work->GetFirst(); p; p = m_work->GetNext(p))
        list.AddProc(p->Clone());
    if (text(list) == before) {
        // Nothing was edited: the type stays as unmodified as it was.
        list.SetModified(wasModified);
        return false;
    }
    list.SetModified(true);
    if (CDatabaseType* type = list.Type())
        type->UpdateInterlinearFlags();
    return true;
}

} // namespace crv::gui
