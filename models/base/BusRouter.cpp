// Headless bus router and scripted receivers.
#include "models/base/BusRouter.h"

#include "platform/core/CFormat.h"

void TBusRouter::Attach(int receiver, TModel* model)
{
    SetReceiver(receiver, [model](std::string& mes, TlstParams* lst) { return model->fnGetMessage(mes, lst); });
    Connect(model);
}

void TBusRouter::Connect(TModel* model)
{
    model->OnSendMessage = [this](TModel*, std::string& mes, TlstParams* lst) { return Send(mes, lst) != 0; };
}

void TBusRouter::SetReceiver(int receiver, Handler h) { receivers[receiver] = std::move(h); }

int TBusRouter::Send(std::string& mes, TlstParams* lstPar)
{
    int receiver = -1;
    const char* p = mes.c_str();
    if (!ScanInt(p, receiver)) receiver = -1;
    if (recording && depth == 0 && log.size() >= logLimit && logLimit > 0)
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(log.size() - logLimit / 2));
    size_t slot = log.size();
    if (recording) log.push_back(Record{mes, std::string(), 0, depth});
    ++depth;
    int result = 0;
    try {
        auto it = receivers.find(receiver);
        if (it != receivers.end()) result = it->second(mes, lstPar);
        else if (fallback) result = fallback(mes, lstPar);
    } catch (...) {
        --depth;
        throw;
    }
    --depth;
    if (recording && slot < log.size()) {
        log[slot].reply = mes;
        log[slot].result = result;
    }
    return result;
}

std::vector<std::string> TBusRouter::Requests(int receiver) const
{
    std::vector<std::string> out;
    for (const auto& r : log) {
        int n = -1;
        SScanf(r.request.c_str(), "%d", &n);
        if (receiver < 0 || n == receiver) out.push_back(r.request);
    }
    return out;
}

std::string NormalizeBlanks(const std::string& s)
{
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

void TScriptedReceiver::On(const std::string& prefix, const char* reply, int result)
{
    rules.push_back(Rule{NormalizeBlanks(prefix), reply != nullptr, reply ? reply : "", result});
}

int TScriptedReceiver::operator()(std::string& mes, TlstParams*)
{
    received.push_back(mes);
    std::string norm = NormalizeBlanks(mes);
    for (const auto& r : rules) {
        if (norm.compare(0, r.prefix.size(), r.prefix) == 0 &&
            (norm.size() == r.prefix.size() || norm[r.prefix.size()] == ' ' || r.prefix.empty())) {
            if (r.hasReply) mes = r.reply;
            return r.result;
        }
    }
    return 0;
}

TBusRouter::Handler TScriptedReceiver::AsHandler()
{
    return [this](std::string& mes, TlstParams* lst) { return (*this)(mes, lst); };
}
