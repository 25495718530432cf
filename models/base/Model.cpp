// Model base and the get/set/store commands.
#include "models/base/Model.h"

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

TModel::TModel(TComponent* owner) : TComponent(owner) {}
TModel::~TModel() = default;

void TModel::Read(std::FILE*) {}
void TModel::InitState() {}
void TModel::Synchronization(double) {}
int TModel::fnGetModelMessage(std::string&, TlstParams*) { return 0; }
void TModel::ClearData() {}

void TModel::Init()
{
    InitState();
    if (FileName.empty()) return;
    std::FILE* f = OpenFile(FileName, "r");
    // The message names the file too: the instructor fixes the file, not the model.
    if (!f) throw Exception("Не могу загрузить файл данных для модели " + Name() + ": " + FileName);
    try {
        Read(f);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
}

void TModel::Process(float t)
{
    step = static_cast<double>(t) - time;
    time = t;
    Synchronization(t);
}

int TModel::SendMessageA(std::string& mes, TlstParams* lstPar)
{
    if (!OnSendMessage) return 0;
    return OnSendMessage(this, mes, lstPar) ? 1 : 0;
}

int TModel::SendMessageA(const char* mes, TlstParams* lstPar)
{
    std::string buf = mes;
    return SendMessageA(buf, lstPar);
}

void TModel::ChangeState(const AnsiString& text)
{
    if (OnChangeState) OnChangeState(this, text);
}

void TModel::TellFault(int number, int mode)
{
    int listener = VarToInt(GetModelParam("1090"));
    if (listener > 0) SendMessageA(Format("3 5 %d 1553 %d 1554 %d 414 1", listener, number, mode).c_str());
}

int TModel::fnGetMessage(std::string& mes, TlstParams* lstPar)
{
    // The receiver and the command, read as "%d%d" reads them: a missing command is 0.
    int receiver = 0, command = 0;
    const char* p = mes.c_str();
    if (ScanInt(p, receiver)) ScanInt(p, command);
    switch (command) {
    case 1: return GetModelParam(mes, lstPar) ? 1 : 0;
    case 2: return SetModelParam(mes) ? 1 : 0;
    case 3: return StoreModelParam(mes) ? 1 : 0;
    default: return fnGetModelMessage(mes, lstPar);
    }
}

TVariant TModel::GetModelParam(const AnsiString& name) const
{
    if (auto* p = params.Find(name)) return p->value.value;
    return std::string();
}

bool TModel::SetModelParam(const AnsiString& name, const TVariant& value)
{
    auto* p = params.Find(Trim(name));
    if (!p) return false;
    p->value.value = value;
    return true;
}

bool TModel::AddParam(const AnsiString& name, const AnsiString& value)
{
    auto* p = params.Find(name);
    if (p && !VarToStr(p->value.value).empty()) return false;
    params.Put(TObjParam(name, TObjParam::SetFromText(name, value.c_str())));
    return true;
}

bool TModel::GetModelParam(std::string& mes, TlstParams* lstPar)
{
    dllist<AnsiString> names;
    if (!ParseWords(names, mes.c_str(), 3)) return false;
    std::string reply;
    for (auto* n = names.First(); n; n = n->next) {
        // A name with no parameter is refused like an empty text, whatever its type.
        auto* p = params.Find(n->value);
        if (!p) return false;
        std::string text = ParamValueToText(p->value);
        if (text.empty()) return false;
        reply += text;
        reply += ' ';
        if (lstPar) lstPar->Append(TObjParam(n->value, p->value.value));
    }
    for (char& c : reply)
        if (c == ',') c = '.';
    mes = reply;
    return true;
}

bool TModel::SetModelParam(std::string& mes)
{
    dllist<AnsiString> words;
    if (!ParseWords(words, mes.c_str(), 3)) return false;
    for (auto* w = words.First(); w && w->next; w = w->next->next) {
        const AnsiString& name = w->value;
        SetModelParam(name, TObjParam::SetFromText(name, w->next->value.c_str()));
    }
    return true;
}

bool TModel::StoreModelParam(std::string& mes)
{
    dllist<AnsiString> words;
    ParseWords(words, mes.c_str(), 3);
    // A store without a value is refused.
    if (!words.First() || !words.First()->next) return false;
    return AddParam(words.First()->value, words.First()->next->value);
}

void TaDevices::Synchronization(double t)
{
    for (unsigned int i = 0; i < Count(); ++i) (*Get(i))->Step(t);
}

namespace {

// The object's integer parameter name; 0 when the object lacks it.
int ObjectParam(const TBusSend& send, int obj, int name)
{
    std::string mes = Format("%d %d %d %d", static_cast<int>(brTecn), 4, obj, name);
    int v = 0;
    if (!send(mes) || SScanf(mes.c_str(), "%d", &v) != 1) return 0;
    return v;
}

} // namespace

std::string LocoName(const TBusSend& send, int obj)
{
    if (int n = ObjectParam(send, obj, 1508); n > 0) return Format("%d", n);
    if (ObjectParam(send, obj, 1001) == 2) return Format("МЛ%d", obj);
    return Format("%d", obj);
}

std::string TrainNumber(const TBusSend& send, int obj)
{
    if (int n = ObjectParam(send, obj, 1025); n > 0) return Format("%d", n);
    return LocoName(send, obj);
}

std::string MoverName(const TBusSend& send, int obj)
{
    if (int n = ObjectParam(send, obj, 1025); n > 0) return Format("поезда №%d", n);
    if (ObjectParam(send, obj, 1001) == 2) return "локомотива " + LocoName(send, obj);
    return Format("объекта %d", obj);
}
