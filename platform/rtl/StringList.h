#pragma once
// String lists with the platform's text forms (Text, CommaText,
// DelimitedText, name=value pairs), sorting and duplicate rules.
//
// TStrings is the abstract list (storage in the descendant); TStringList keeps
// the strings with an untyped object pointer each, which it does not own.
// Bytes on disk and in streams are code page 1250.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace plat {

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings();

    // Storage, provided by the descendant. Index errors raise
    // EStringListError "List index out of bounds (%d)".
    virtual int Count() const = 0;
    virtual QString Strings(int index) const = 0;
    virtual void SetStrings(int index, const QString& s);
    virtual void* Objects(int index) const;
    virtual void SetObjects(int index, void* object);
    virtual void Insert(int index, const QString& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    virtual int Add(const QString& s);
    int AddObject(const QString& s, void* object);
    void Append(const QString& s) { Add(s); }
    void InsertObject(int index, const QString& s, void* object);
    void AddStrings(const TStrings& strings);
    void AddStrings(const QStringList& strings);
    virtual void Assign(const TStrings& source);
    bool Equals(const TStrings& other) const;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    virtual int IndexOf(const QString& s) const;
    int IndexOfName(const QString& name) const;
    int IndexOfObject(void* object) const;

    // name=value pairs: Names(i) is "" for an item without the separator.
    QString Names(int index) const;
    QString Values(const QString& name) const;
    // An empty value removes the pair; an unknown name appends one.
    void SetValues(const QString& name, const QString& value);
    QString ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const QString& value);

    // Every line followed by CR LF; reading splits at CR, LF or CR LF, and a
    // final line end adds no empty line.
    virtual QString Text() const;
    virtual void SetText(const QString& text);
    // Items joined by ',' and quoted with '"' when they hold a blank, a
    // control character, a comma or a quote; reading splits at commas and at
    // blanks outside quotes.
    QString CommaText() const;
    void SetCommaText(const QString& text);
    // As CommaText with Delimiter and QuoteChar.
    QString DelimitedText() const;
    void SetDelimitedText(const QString& text);

    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar c) { m_delimiter = c; }
    QChar QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(QChar c) { m_quoteChar = c; }
    QChar NameValueSeparator() const { return m_nameValueSeparator; }
    void SetNameValueSeparator(QChar c) { m_nameValueSeparator = c; }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // Code page 1250 text; Load replaces the content.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;
    virtual void LoadFromFile(const QString& fileName);
    virtual void SaveToFile(const QString& fileName) const; // atomic (QSaveFile)

    QStringList toStringList() const;
    void setStringList(const QStringList& list);

protected:
    // Called on the first BeginUpdate (true) and the last EndUpdate (false).
    virtual void SetUpdateState(bool updating);
    // The comparison IndexOf and IndexOfName use.
    virtual int CompareStrings(const QString& a, const QString& b) const;
    [[noreturn]] void Error(const QString& message, int data) const;
    void checkIndex(int index, int count) const;

private:
    QString delimitedText(QChar delimiter, QChar quote) const;
    void setDelimitedText(const QString& text, QChar delimiter, QChar quote);

    QChar m_delimiter = QLatin1Char(',');
    QChar m_quoteChar = QLatin1Char('"');
    QChar m_nameValueSeparator = QLatin1Char('=');
    int m_updateCount = 0;
};

class TStringList : public TStrings {
public:
    using TNotifyEvent = std::function<void()>;
    using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

    TStringList() = default;
    explicit TStringList(const QStringList& strings);
    ~TStringList() override;

    int Count() const override { return static_cast<int>(m_items.size()); }
    QString Strings(int index) const override;
    void SetStrings(int index, const QString& s) override;
    void* Objects(int index) const override;
    void SetObjects(int index, void* object) override;
    // On a sorted list: Add puts the string in its place by the Duplicates
    // rule (dupError raises EStringListError "String list does not allow
    // duplicates"); Insert, SetStrings and Move raise EStringListError
    // "Operation not allowed on sorted list".
    int Add(const QString& s) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const QString& s) const override;

    // Binary search of a sorted list: true and the index of the first equal
    // string, or false and the index where s would go. On an unsorted list
    // the answer is meaningless, as on the platform.
    bool Find(const QString& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool caseSensitive);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(const QString& a, const QString& b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        QString string;
        void* object = nullptr;
    };
    void insertItem(int index, const QString& s, void* object);

    std::vector<Item> m_items;
    TDuplicates m_duplicates = dupIgnore;
    bool m_sorted = false;
    bool m_caseSensitive = false;
};

} // namespace plat
