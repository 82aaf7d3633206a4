#pragma once
// Designators, the run-time form of every name path (a variable, a call, a
// member chain, an index), and set expressions (values and ranges in
// brackets, for "in" and case selectors).

#include "zs_items.h"

#include <QString>
#include <memory>
#include <vector>

class TzsXMLItem;
class TzsCustomExpression;
class TzsCustomHelper;

// One step of a chain; its list holds the argument expressions.
class TzsDesignatorItem : public TzsItemList {
public:
    TzsDesignatorItem(TzsCustomVariable* ref, const QString& sourcePos);
    TzsCustomExpression* GetArg(int index) const;
    // Caches what a walk needs to know of the referenced item.
    void prepare();

    TzsCustomVariable* Ref = nullptr;
    QString SourcePos;
    // Default-property access (an index after an object).
    bool DefaultAccess = false;

    TzsProcVariable* proc = nullptr;
    TzsCustomHelper* helper = nullptr;
    // What each argument reduces to (its variable or constant when it has
    // a single operand), read instead of walking its tree.
    std::vector<TzsCustomVariable*> argItems;
    bool refIsDesignator = false;
    bool hasVarParams = false;
};

class TzsDesignator : public TzsCustomVariable {
public:
    enum Form { General = 0, PlainVariable = 1, StringChar = 2, ArrayElement = 3 };

    explicit TzsDesignator(TzsScript* script);
    ~TzsDesignator() override;

    TzsDesignatorItem* GetItem(int index) const { return static_cast<TzsDesignatorItem*>(Items(index)); }
    TzsDesignatorItem* LastItem() const { return Count() ? GetItem(Count() - 1) : nullptr; }
    TzsDesignatorItem* AddItem(TzsCustomVariable* ref, const QString& sourcePos);
    void Finish();
    void TakeOver(TzsDesignator* other);
    // The fast-path class Finish chose, holding this chain; nullptr when the
    // general form stays.
    TzsDesignator* makeFastPath();

    plat::Variant GetValue() override;
    void SetValue(const plat::Variant& value) override;

    int FormKind = General;
    TzsScript* MainProgramScript = nullptr;
    TzsScript* Script = nullptr;
    TzsCustomExpression* IndexExpression = nullptr; // form 2: the second item's argument
    TzsCustomVariable* ArrayHelper = nullptr;         // form 3
    TzsDesignatorItem* IndexItem = nullptr;           // form 3
    std::unique_ptr<TzsXMLItem> DeferredSource;

protected:
    plat::Variant Walk(const plat::Variant& value, bool writing);
    void BindLate();
};

class TzsVariableDesignator final : public TzsDesignator {
public:
    using TzsDesignator::TzsDesignator;
    plat::Variant GetValue() override { return Target->GetValue(); }
    void SetValue(const plat::Variant& value) override { Target->SetValue(value); }
};

class TzsStringDesignator final : public TzsDesignator {
public:
    using TzsDesignator::TzsDesignator;
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant& value) override;
};

class TzsArrayDesignator final : public TzsDesignator {
public:
    using TzsDesignator::TzsDesignator;
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant& value) override;

private:
    void setIndexes();
};

class TzsSetExpression : public TzsCustomVariable {
public:
    TzsSetExpression();
    // An entry is an expression, or nullptr between the two ends of a range.
    TzsCustomVariable* GetEntry(int index) const { return static_cast<TzsCustomVariable*>(Items(index)); }
    bool Contains(const plat::Variant& value);
    plat::Variant GetValue() override;
};

namespace zs {
// Raises ERangeError for a character index outside 1..length.
void checkCharIndex(int index, qsizetype length);
} // namespace zs
