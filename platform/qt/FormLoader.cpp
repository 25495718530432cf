// Reading form definitions: a small tokenizer, a recursive reader that creates and sets
// components in file order, and the references resolved at the end.
#include "platform/qt/FormLoader.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "platform/core/CFormat.h"
#include "platform/qt/Forms.h"

namespace {

std::map<std::string, std::string>& Definitions()
{
    static std::map<std::string, std::string> d;
    return d;
}

struct TToken {
    enum TType { End, Ident, Int, Float, String, Punct };
    TType Type = End;
    std::string Text;
    int64_t IntValue = 0;
    double FloatValue = 0;
    int Line = 0;
};

class TLexer {
public:
    TLexer(const std::string& text, const std::string& file) : fText(text), fFile(file) {}

    const TToken& Peek()
    {
        if (!fHasPeek) {
            fPeek = Read();
            fHasPeek = true;
        }
        return fPeek;
    }
    TToken Next()
    {
        TToken t = Peek();
        fHasPeek = false;
        return t;
    }
    [[noreturn]] void Fail(int line, const std::string& msg) const
    {
        throw Exception(Format("%s, строка %d: %s", fFile.c_str(), line, msg.c_str()));
    }
    const std::string& File() const { return fFile; }

private:
    // The token's number (decimal, or hexadecimal after its "$"); one that does not fit 64 bits
    // is an error of the definition.
    int64_t ScanInteger(const TToken& t, int base) const
    {
        const char* digits = t.Text.c_str() + (base == 16 ? 1 : 0);
        errno = 0;
        int64_t value = 0;
        if (base == 16) {
            unsigned long long u = std::strtoull(digits, nullptr, 16);
            if (errno == 0 && u > static_cast<unsigned long long>(INT64_MAX)) errno = ERANGE;
            value = static_cast<int64_t>(u);
        } else {
            value = std::strtoll(digits, nullptr, 10);
        }
        if (errno == ERANGE) Fail(t.Line, "число вне диапазона: " + t.Text);
        return value;
    }

    TToken Read()
    {
        // Skip blanks and comments.
        for (;;) {
            while (fPos < fText.size() && IsBlankChar(fText[fPos])) {
                if (fText[fPos] == '\n') ++fLine;
                ++fPos;
            }
            if (fPos < fText.size() && fText[fPos] == '#') {
                while (fPos < fText.size() && fText[fPos] != '\n') ++fPos;
                continue;
            }
            break;
        }
        TToken t;
        t.Line = fLine;
        if (fPos >= fText.size()) return t;
        char c = fText[fPos];
        auto isIdStart = [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_'; };
        auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };
        if (isIdStart(c)) {
            size_t b = fPos;
            while (fPos < fText.size() && (isIdStart(fText[fPos]) || isDigit(fText[fPos]) || fText[fPos] == '.')) ++fPos;
            t.Type = TToken::Ident;
            t.Text = fText.substr(b, fPos - b);
            return t;
        }
        if (c == '$') {
            size_t b = ++fPos;
            while (fPos < fText.size() && std::isxdigit(static_cast<unsigned char>(fText[fPos]))) ++fPos;
            if (b == fPos) Fail(t.Line, "неверное шестнадцатеричное число");
            t.Type = TToken::Int;
            t.Text = fText.substr(b - 1, fPos - b + 1);
            t.IntValue = ScanInteger(t, 16);
            return t;
        }
        if (isDigit(c) || ((c == '-' || c == '+') && fPos + 1 < fText.size() && isDigit(fText[fPos + 1]))) {
            size_t b = fPos++;
            bool isFloat = false;
            while (fPos < fText.size() && (isDigit(fText[fPos]) || fText[fPos] == '.')) {
                if (fText[fPos] == '.') isFloat = true;
                ++fPos;
            }
            t.Text = fText.substr(b, fPos - b);
            if (isFloat) {
                t.Type = TToken::Float;
                t.FloatValue = AtofC(t.Text.c_str());
            } else {
                t.Type = TToken::Int;
                t.IntValue = ScanInteger(t, 10);
            }
            return t;
        }
        if (c == '"') {
            ++fPos;
            std::string s;
            for (;;) {
                if (fPos >= fText.size() || fText[fPos] == '\n') Fail(t.Line, "незакрытая строка");
                char ch = fText[fPos++];
                if (ch == '"') break;
                if (ch == '\\' && fPos < fText.size()) {
                    char e = fText[fPos++];
                    s += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                } else {
                    s += ch;
                }
            }
            t.Type = TToken::String;
            t.Text = s;
            return t;
        }
        if (std::string(":=[](),").find(c) != std::string::npos) {
            ++fPos;
            t.Type = TToken::Punct;
            t.Text = std::string(1, c);
            return t;
        }
        Fail(t.Line, Format("непонятный символ '%c'", c));
    }

    const std::string& fText;
    std::string fFile;
    size_t fPos = 0;
    int fLine = 1;
    TToken fPeek;
    bool fHasPeek = false;
};

void LoadInto(TComponent* root, const std::string& path, THandlerTable* handlers, std::vector<TComponent*>* loaded);

struct TFixup {
    TObject* Object;
    const TPropInfo* Info;
    std::string PropName;
    std::string Target;
    int Line;
};

class TReader {
public:
    // loaded: where to collect the components whose Loaded() runs at the very end (null: this
    // is the outermost definition, which runs them itself).
    TReader(TLexer& lex, TComponent* root, THandlerTable* handlers, std::vector<TComponent*>* loaded)
        : fLex(lex), fRoot(root), fHandlers(handlers), fLoaded(loaded ? loaded : &fOwnLoaded), fOutermost(!loaded)
    {
    }

    void ReadRoot()
    {
        TToken kw = fLex.Next();
        if (kw.Type != TToken::Ident || kw.Text != "object")
            fLex.Fail(kw.Line, "описание должно начинаться словом object");
        auto [name, cls, line] = ReadHeader();
        if (cls != fRoot->ClassName())
            fLex.Fail(line, "класс " + cls + " не совпадает с классом формы " + fRoot->ClassName());
        fRoot->SetName(name);
        ReadBody(fRoot, Container(fRoot), false);
        TToken end = fLex.Next();
        if (end.Type != TToken::End) fLex.Fail(end.Line, "лишний текст после end: " + end.Text);
        ResolveFixups();
        fLoaded->push_back(fRoot);
        if (fOutermost)
            for (TComponent* c : fOwnLoaded) c->Loaded();
    }

private:
    struct THeader {
        std::string Name, Class;
        int Line;
    };

    THeader ReadHeader()
    {
        TToken n = fLex.Next();
        if (n.Type != TToken::Ident) fLex.Fail(n.Line, "ожидается имя компонента");
        TToken colon = fLex.Next();
        if (colon.Type != TToken::Punct || colon.Text != ":") fLex.Fail(colon.Line, "ожидается ':' после " + n.Text);
        TToken c = fLex.Next();
        if (c.Type != TToken::Ident) fLex.Fail(c.Line, "ожидается имя класса после " + n.Text + ":");
        return {n.Text, c.Text, n.Line};
    }

    // The control that children of obj are placed on (obj itself when windowed).
    static TObject* Container(TObject* obj) { return obj; }

    // Reads properties and nested blocks up to the matching end. inFrame: obj belongs to an
    // inline frame, so nested blocks name its existing components instead of creating new ones.
    void ReadBody(TObject* obj, TObject* container, bool inFrame, TComponent* frame = nullptr)
    {
        for (;;) {
            TToken t = fLex.Next();
            if (t.Type == TToken::End) fLex.Fail(t.Line, "нет end для блока");
            if (t.Type != TToken::Ident) fLex.Fail(t.Line, "ожидается свойство, object или end, а не " + t.Text);
            if (t.Text == "end") return;
            if (t.Text == "object" || t.Text == "inline") {
                ReadObject(t.Text == "inline", container, inFrame, frame);
                continue;
            }
            TToken eq = fLex.Next();
            if (eq.Type != TToken::Punct || eq.Text != "=") fLex.Fail(eq.Line, "ожидается '=' после " + t.Text);
            TPropValue v = ReadValue();
            SetProperty(obj, t.Text, v, t.Line);
        }
    }

    void ReadObject(bool isInline, TObject* container, bool inFrame, TComponent* frame)
    {
        THeader h = ReadHeader();
        TComponent* comp = nullptr;
        if (inFrame) {
            // An override of an inner component of the frame.
            comp = frame->FindComponent(h.Name);
            if (!comp) fLex.Fail(h.Line, "во фрейме " + frame->Name() + " нет компонента " + h.Name);
            if (comp->ClassName() != h.Class)
                fLex.Fail(h.Line, "компонент " + h.Name + " фрейма имеет класс " + comp->ClassName() + ", а не " + h.Class);
            ReadBody(comp, comp, true, frame);
            return;
        }
        if (!IsComponentClassRegistered(h.Class)) fLex.Fail(h.Line, "неизвестный класс " + h.Class);
        if (fRoot->FindComponent(h.Name)) fLex.Fail(h.Line, "повторное имя " + h.Name);
        comp = CreateComponentByClassName(h.Class, fRoot);
        if (!isInline) fLoaded->push_back(comp); // a frame is added by its own definition
        if (isInline) {
            if (!comp->InheritsFromClassName("TFrame")) fLex.Fail(h.Line, "класс " + h.Class + " не является фреймом");
            std::string path = FormDefinitionPath(h.Class);
            if (path.empty()) fLex.Fail(h.Line, "нет описания фрейма " + h.Class);
            TFrame* fr = static_cast<TFrame*>(comp);
            PlaceInParent(comp, container, h);
            LoadInto(fr, path, &fr->Handlers(), fLoaded);
            comp->SetName(h.Name);
            ReadBody(comp, comp, true, comp);
            return;
        }
        comp->SetName(h.Name);
        PlaceInParent(comp, container, h);
        ReadBody(comp, comp, false);
    }

    void PlaceInParent(TComponent* comp, TObject* container, const THeader& h)
    {
        if (comp->InheritsFromClassName("TMenuItem")) {
            auto* item = static_cast<TMenuItem*>(comp);
            if (container && container->InheritsFromClassName("TMenuItem"))
                static_cast<TMenuItem*>(container)->Add(item);
            else if (container && container->InheritsFromClassName("TMenu"))
                static_cast<TMenu*>(container)->Items()->Add(item);
            else
                fLex.Fail(h.Line, "пункт меню " + h.Name + " вне меню");
            return;
        }
        if (comp->InheritsFromClassName("TControl")) {
            auto* ctl = static_cast<TControl*>(comp);
            if (!container || !container->InheritsFromClassName("TWinControl"))
                fLex.Fail(h.Line, "элемент " + h.Name + " может лежать только на оконном элементе");
            ctl->SetParent(static_cast<TWinControl*>(container));
        }
    }

    TPropValue ReadValue()
    {
        TToken t = fLex.Next();
        TPropValue v;
        switch (t.Type) {
        case TToken::Int: v.Kind = TPropValue::Int; v.IntValue = t.IntValue; return v;
        case TToken::Float: v.Kind = TPropValue::Float; v.FloatValue = t.FloatValue; return v;
        case TToken::String: v.Kind = TPropValue::String; v.Text = t.Text; return v;
        case TToken::Ident: v.Kind = TPropValue::Ident; v.Text = t.Text; return v;
        case TToken::Punct:
            if (t.Text == "[") {
                v.Kind = TPropValue::Set;
                for (;;) {
                    TToken e = fLex.Next();
                    if (e.Type == TToken::Punct && e.Text == "]") break;
                    if (e.Type == TToken::Punct && e.Text == "," && !v.Items.empty()) continue;
                    if (e.Type != TToken::Ident) fLex.Fail(e.Line, "ожидается идентификатор в множестве");
                    v.Items.push_back(e.Text);
                }
                return v;
            }
            if (t.Text == "(") {
                v.Kind = TPropValue::List;
                for (;;) {
                    TToken e = fLex.Next();
                    if (e.Type == TToken::Punct && e.Text == ")") break;
                    if (e.Type != TToken::String) fLex.Fail(e.Line, "ожидается строка в кавычках в списке");
                    v.Items.push_back(e.Text);
                }
                return v;
            }
            break;
        case TToken::End: break;
        }
        fLex.Fail(t.Line, "ожидается значение, а не " + (t.Type == TToken::End ? std::string("конец файла") : t.Text));
    }

    void SetProperty(TObject* obj, const std::string& name, const TPropValue& v, int line)
    {
        // A dotted name is first looked up whole (Font.Style), then as nested objects.
        const TPropInfo* info = FindProperty(obj, name);
        std::string last = name;
        if (!info) {
            size_t start = 0, dot;
            while ((dot = name.find('.', start)) != std::string::npos) {
                std::string part = name.substr(start, dot - start);
                const TPropInfo* sub = FindProperty(obj, part);
                if (!sub || sub->Kind != TPropKind::Object)
                    fLex.Fail(line, "неизвестное свойство " + part + " (класс " + obj->ClassName() + ")");
                TObject* next = sub->GetObject(obj);
                if (!next) fLex.Fail(line, "свойство " + part + " пусто");
                obj = next;
                start = dot + 1;
            }
            last = name.substr(start);
            info = FindProperty(obj, last);
        }
        if (!info) fLex.Fail(line, "неизвестное свойство " + last + " (класс " + obj->ClassName() + ")");
        switch (info->Kind) {
        case TPropKind::Value:
            try {
                info->SetValue(obj, v);
            } catch (const std::exception& e) {
                fLex.Fail(line, "свойство " + name + ": " + e.what());
            }
            return;
        case TPropKind::Reference:
            if (v.Kind != TPropValue::Ident) fLex.Fail(line, "свойство " + name + ": ожидается имя компонента");
            fFixups.push_back({obj, info, name, v.Text, line});
            return;
        case TPropKind::Event: {
            if (v.Kind != TPropValue::Ident) fLex.Fail(line, "событие " + name + ": ожидается имя обработчика");
            const std::any* h = nullptr;
            if (v.Text != "nil") {
                h = fHandlers ? fHandlers->Find(v.Text) : nullptr;
                if (!h) fLex.Fail(line, "неизвестный обработчик " + v.Text + " (событие " + name + ")");
            }
            bool ok = false;
            try {
                ok = info->SetEvent(obj, h);
            } catch (const std::exception& e) {
                fLex.Fail(line, "событие " + name + ": " + e.what());
            }
            if (!ok) fLex.Fail(line, "обработчик " + v.Text + " не подходит к событию " + name);
            return;
        }
        case TPropKind::Object: fLex.Fail(line, "свойство " + name + " задаётся по частям через точку");
        }
    }

    TComponent* FindByPath(const std::string& path) const
    {
        TComponent* c = fRoot;
        size_t start = 0;
        for (;;) {
            size_t dot = path.find('.', start);
            c = c->FindComponent(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
            if (!c || dot == std::string::npos) return c;
            start = dot + 1;
        }
    }

    void ResolveFixups()
    {
        for (const TFixup& f : fFixups) {
            TComponent* target = nullptr;
            if (f.Target != "nil") {
                target = FindByPath(f.Target);
                if (!target && f.Target == fRoot->Name()) target = fRoot;
                if (!target) fLex.Fail(f.Line, "свойство " + f.PropName + ": нет компонента " + f.Target);
                if (!target->InheritsFromClassName(f.Info->RefClass))
                    fLex.Fail(f.Line, "свойство " + f.PropName + ": компонент " + f.Target + " не класса " + f.Info->RefClass);
            }
            try {
                f.Info->SetReference(f.Object, target);
            } catch (const std::exception& e) {
                fLex.Fail(f.Line, "свойство " + f.PropName + ": " + e.what());
            }
        }
    }

    TLexer& fLex;
    TComponent* fRoot;
    THandlerTable* fHandlers;
    std::vector<TFixup> fFixups;
    std::vector<TComponent*>* fLoaded;
    std::vector<TComponent*> fOwnLoaded;
    bool fOutermost;
};

void LoadText(TComponent* root, const std::string& text, const std::string& fileName, THandlerTable* handlers,
              std::vector<TComponent*>* loaded)
{
    TLexer lex(text, fileName);
    TReader reader(lex, root, handlers, loaded);
    reader.ReadRoot();
}

void LoadInto(TComponent* root, const std::string& path, THandlerTable* handlers, std::vector<TComponent*>* loaded)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) throw Exception("Не найдено описание формы " + path);
    std::string text = f.readAll().toStdString();
    LoadText(root, text, QFileInfo(f.fileName()).fileName().toStdString(), handlers, loaded);
}

} // namespace

void LoadFormDefinitionText(TComponent* root, const std::string& text, const std::string& fileName,
                            THandlerTable* handlers)
{
    LoadText(root, text, fileName, handlers, nullptr);
}

void LoadFormDefinition(TComponent* root, const std::string& path, THandlerTable* handlers)
{
    LoadInto(root, path, handlers, nullptr);
}

void RegisterFormDefinition(const std::string& className, const std::string& path)
{
    Definitions()[className] = path;
}

std::string FormDefinitionPath(const std::string& className)
{
    auto it = Definitions().find(className);
    return it == Definitions().end() ? std::string() : it->second;
}
