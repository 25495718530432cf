// A headless bus: delivers a message by its receiver number to a registered model or handler,
// hands any other receiver to a fallback (the operator's input box in the program), and can keep
// a record of every message with its reply. Tests and scripted peers use it in place of the main
// window's dispatcher.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "models/base/Model.h"

class TBusRouter {
public:
    using Handler = std::function<int(std::string& mes, TlstParams* lstPar)>;

    // Routes `receiver` to model->fnGetMessage and the model's sends to this router.
    void Attach(int receiver, TModel* model);
    // Routes only the model's sends to this router (models that have no receiver number).
    void Connect(TModel* model);
    void SetReceiver(int receiver, Handler h);
    // Receivers with no handler; by default they refuse (0).
    void SetFallback(Handler h) { fallback = std::move(h); }

    // Delivers mes by its first number; the reply stands in mes.
    int Send(std::string& mes, TlstParams* lstPar = nullptr);

    struct Record {
        std::string request;
        std::string reply;
        int result;
        int depth;  // 0 for a message sent from outside, 1 and more for nested sends
    };
    // The log keeps the latest records only: when it holds logLimit of them, a message sent from
    // outside first drops the older half, so a long headless run does not grow without limit.
    std::vector<Record> log;
    bool recording = true;
    size_t logLimit = 50000;
    // The requests logged so far, optionally only those to one receiver.
    std::vector<std::string> Requests(int receiver = -1) const;
    void ClearLog() { log.clear(); }

private:
    std::map<int, Handler> receivers;
    Handler fallback;
    int depth = 0;
};

// A fake receiver: answers requests that begin with a given text (after normalising blanks)
// with a scripted reply, and records what it received. Unmatched requests are refused.
class TScriptedReceiver {
public:
    // A request starting with `prefix` gets `reply` (nothing changes when reply is null) and `result`.
    void On(const std::string& prefix, const char* reply, int result = 1);
    int operator()(std::string& mes, TlstParams* lstPar);
    TBusRouter::Handler AsHandler();
    std::vector<std::string> received;

private:
    struct Rule {
        std::string prefix;
        bool hasReply;
        std::string reply;
        int result;
    };
    std::vector<Rule> rules;
};

// Collapses runs of blanks to one blank and trims: "2  5 1 " -> "2 5 1".
std::string NormalizeBlanks(const std::string& s);
