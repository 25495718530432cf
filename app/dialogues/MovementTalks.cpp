// The confirmations of the movement orders (see MovementTalks.h).
#include "app/dialogues/MovementTalks.h"

#include "models/base/BusRouter.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

int OrderKind(TOrderPage page)
{
    switch (page) {
    case TOrderPage::ToSignal: return 1;
    case TOrderPage::OverSignal: return 2;
    default: return 3;
    }
}

namespace {

// The plan's target search for an order kind: to a signal, past a signal, to a track.
int SearchCommand(int kind) { return kind == 1 ? 17 : kind == 2 ? 35 : 20; }

bool Reached(TTalk& talk, int kind, int target, unsigned section, int attempt)
{
    std::string mes = Format("%d %d %d %d %u %d 0", brPlan, 19, kind, target, section, attempt);
    if (talk.Ask(mes)) {
        unsigned end = 0, beyond = 0;
        int flag = 0;
        if (kind == 3) {
            if (SScanf(mes.c_str(), "%u%u", &end, &beyond) >= 1 && end == static_cast<unsigned>(target)) return true;
        } else if (SScanf(mes.c_str(), "%u%u%d", &end, &beyond, &flag) == 3 && flag != 0) {
            return true;
        }
    }
    mes = Format("%d %d %d %u %d", brPlan, SearchCommand(kind), target, section, attempt);
    unsigned found = 0;
    return talk.Ask(mes) && SScanf(mes.c_str(), "%u", &found) == 1 && found != 0;
}

} // namespace

TReach FindReach(TTalk& talk, unsigned loco, TOrderPage page, int target)
{
    const int kind = OrderKind(page);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Past a signal the locomotive's other end is asked for.
        int direction = page == TOrderPage::OverSignal ? 1 - attempt : attempt;
        std::string mes = Format("%d %d %u %d", brPlan, 12, loco, direction);
        unsigned section = 0;
        if (!talk.Ask(mes) || SScanf(mes.c_str(), "%u", &section) != 1) return TReach::NoPosition;
        if (Reached(talk, kind, target, section, attempt)) return attempt == 0 ? TReach::Ahead : TReach::Behind;
    }
    return TReach::Unreachable;
}

std::string WhereStands(TTalk& talk, unsigned loco, int end)
{
    std::string mes = Format("%d %d %u %d", brPlan, 12, loco, end);
    unsigned section = 0;
    char name[64] = {0};
    if (!talk.Ask(mes) || SScanf(mes.c_str(), "%u %*f %63s", &section, name) < 1) return "";
    // The interlocking section's name as the panel shows it; else the plan's.
    mes = Format("%d %d %u", brEC, 22, section);
    unsigned ec = 0;
    if (talk.Ask(mes) && SScanf(mes.c_str(), "%u", &ec) == 1) {
        mes = Format("%d %d %u", brInterface, 39, ec);
        if (talk.Ask(mes) && !Trim(mes).empty()) return Trim(mes);
    }
    return name[0] ? std::string(name) : Format("%u", section);
}

namespace {

// The order registered with the technology model; the driver (partner) acknowledges it on the
// radio and says where he stands.
TOutcome RegisterOrder(TTalk& talk, unsigned loco, TOrderPage page, std::optional<int> target, bool prohibiting,
                       const std::string& partner)
{
    talk.Close();
    if (!target) return TOutcome::Close;
    TReach reach = FindReach(talk, loco, page, *target);
    if (reach == TReach::Unreachable) talk.Error(15, talk.LocoName(static_cast<int>(loco)));
    if (reach != TReach::Ahead && reach != TReach::Behind) return TOutcome::Close;
    std::string mes = Format("%d %d %u %d %d %d %d %d %d", brTecn, 5, loco, 1003, reach == TReach::Ahead ? 1 : -1, 1012,
                             OrderKind(page), 1013, *target);
    // Every order sets the mode for itself: a permission past prohibiting signals ends with it.
    mes += Format(" %d %d", 1005, prohibiting ? 2 : 0);
    talk.Send(mes);
    const std::string where = WhereStands(talk, loco);
    if (!where.empty())
        talk.Send(Format("%d %d %s Понял, следую. Нахожусь на секции %s", brInterface, 10, partner.c_str(),
                         where.c_str()));
    return TOutcome::Close;
}

} // namespace

TOutcome ConfirmMoveOrder(TTalk& talk, unsigned loco, TOrderPage page, std::optional<int> target, bool prohibiting)
{
    return RegisterOrder(talk, loco, page, target, prohibiting, Format("МЛ%u", loco));
}

TOutcome ConfirmTrainMoveOrder(TTalk& talk, const std::string& loko, TOrderPage page, std::optional<int> target)
{
    talk.Close();
    NumberField(loko, "Не указан номер локомотива");
    auto l = talk.LookupLoco(loko);
    if (!l) {
        talk.Error(1107, loko);
        return TOutcome::Close;
    }
    return RegisterOrder(talk, *l, page, target, false, "ПЛок");
}
