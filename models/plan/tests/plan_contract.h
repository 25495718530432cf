// The plan's partners in the plan contract tests: a technology model that answers commands 4, 5
// and 15 in the real model's formats from a table of object parameters, and an interlocking that
// answers command 6 ("v d") from a table of signal states. The scenarios in
// plan_contract_test.cpp talk to the plan only over the bus, so they can be run with the real
// technology and interlocking models in place of these once those exist.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plan_fixture.h"
#include "platform/core/CFormat.h"

namespace plantest {

// Technology commands 4 (values, each followed by a blank; with a list: the list is cleared and
// gets (name, value) for each), 5 (name/value pairs set) and 15 (the axle list).
class TTecnStub {
public:
    struct Object {
        std::map<std::string, std::string> params;
        std::vector<std::pair<std::string, std::string>> axles;
    };

    // An object of the given length with axles at both ends and no target: 1012, 1013, 1005,
    // 1003 and 1006 are 0, its kind (1001) is 1.
    Object& Add(int number, double length)
    {
        Object& o = objects[number];
        o.params = {{"2018", Format("%f", length)}, {"AXIS0001", "0.000000"}, {"AXISLAST", Format("%f", length)},
                    {"1012", "0"}, {"1013", "0"}, {"1005", "0"}, {"1003", "0"}, {"1006", "0"}, {"1001", "1"}};
        o.axles = {{"2014", "20000"}, {"1023", "0"}, {"-1", "0"},    {"-2", Format("%f", length)},
                   {"1020", "2"},     {"2011", "40000"}};
        return o;
    }
    void Set(int number, const std::string& name, const std::string& value) { objects[number].params[name] = value; }

    int operator()(std::string& mes, TlstParams* list)
    {
        received.push_back(NormalizeBlanks(mes));
        std::vector<std::string> words;
        for (size_t at = 0; at < mes.size();) {
            while (at < mes.size() && mes[at] == ' ') ++at;
            size_t b = at;
            while (at < mes.size() && mes[at] != ' ') ++at;
            if (at > b) words.push_back(mes.substr(b, at - b));
        }
        if (words.size() < 3) return 0;
        int cmd = std::stoi(words[1]);
        auto it = objects.find(std::stoi(words[2]));
        if (it == objects.end()) return 0;
        Object& o = it->second;
        if (cmd == 4) {
            if (words.size() < 4) return 0;
            std::string reply;
            TlstParams found;
            for (size_t i = 3; i < words.size(); ++i) {
                auto p = o.params.find(words[i]);
                if (p == o.params.end()) return 0;
                reply += p->second + " ";
                found.Append(TObjParam(words[i], TObjParam::SetFromText(words[i], p->second.c_str())));
            }
            if (list) list->Assign(found);
            mes = reply;
            return 1;
        }
        if (cmd == 5) {
            for (size_t i = 3; i + 1 < words.size(); i += 2) o.params[words[i]] = words[i + 1];
            return words.size() > 3 ? 1 : 0;
        }
        if (cmd == 15) {
            if (!list) return 0;
            list->Clear();
            for (auto& [name, value] : o.axles) list->Append(TObjParam(name, TObjParam::SetFromText(name, value.c_str())));
            return list->First() ? 1 : 0;
        }
        return 0;
    }

    std::map<int, Object> objects;
    std::vector<std::string> received;
};

// Interlocking command 6: "v d" for a signal with a state, refused for any other.
class TEcStub {
public:
    std::map<int, int> states;
    int operator()(std::string& mes, TlstParams*)
    {
        int r = 0, c = 0, signal = 0, mode = 0;
        SScanf(mes.c_str(), "%d%d%d%d", &r, &c, &signal, &mode);
        auto it = states.find(signal);
        if (c != 6 || it == states.end()) return 0;
        mes = Format("%d %d", it->second, mode);
        return 1;
    }
};

// The sample plan on a bus with the technology model, the interlocking and the instructor, and
// the plan's events recorded.
struct TPlanContract {
    TPlanContract() : TPlanContract(SamplePlan()) {}
    explicit TPlanContract(const std::string& plan) : bus(plan)
    {
        bus.router.SetReceiver(brTecn, [this](std::string& m, TlstParams* l) { return tecn(m, l); });
        bus.router.SetReceiver(brEC, [this](std::string& m, TlstParams* l) { return ec(m, l); });
        bus.model.OnChangeState = [this](TModel*, AnsiString text) { events.push_back(text); };
        tecn.Add(7, 20);
        tecn.Add(8, 20);
        ResetPlanMemory();
    }
    std::string Ask(const std::string& text) { return bus.Ask(text); }
    // The messages the plan sent to a receiver, blanks normalised, from the log's position from on.
    std::vector<std::string> Sent(int receiver, size_t from = 0) const
    {
        std::vector<std::string> out;
        for (size_t i = from; i < bus.router.log.size(); ++i) {
            const auto& r = bus.router.log[i];
            int n = -1;
            SScanf(r.request.c_str(), "%d", &n);
            if (n == receiver && r.depth > 0) out.push_back(NormalizeBlanks(r.request));
        }
        return out;
    }
    size_t Mark() const { return bus.router.log.size(); }
    // Occupied flag and curvature of a section ("1 0.000000").
    std::string Section(int n) { return Ask(Format("1 5 %d", n)); }
    // The object's placements as "section:offset+span" in list order.
    std::string Placed(int number)
    {
        std::string out;
        for (auto& p : bus.model.PlacementsOf(bus.model.FindObject(number)))
            out += Format("%s%d:%.3f+%.3f", out.empty() ? "" : " ", p.Section->Number, p.Offset, p.Span);
        return out;
    }

    TPlanOnBus bus;
    TTecnStub tecn;
    TEcStub ec;
    std::vector<std::string> events;
};

} // namespace plantest
