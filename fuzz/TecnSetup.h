// What the technology targets share: the sample station's configured executors (the main
// window's table), set on a technology model before it starts.
#pragma once
#include "models/technology/TecnModel.h"

namespace fuzz {

inline void SetStationExecutors(TTecnModel& m)
{
    static const struct {
        int number;
        const char* scill;
        const char* name;
    } table[] = {{1, "1", "Путь ОВ1"},
                 {2, "1", "Путь ОВ2"},
                 {3, "1", "Путь ОВ3"},
                 {4, "2", "Бригада ПТО Северного парка"},
                 {5, "3", "Сигналист СП3"},
                 {6, "4", "тепловоз"},
                 {7, "4", "электровоз"},
                 {8, "5", "Горка"},
                 {9, "6", "Сигналист СП7"},
                 {10, "7", "Сигналист СП1"},
                 {11, "8", "Электромеханик"},
                 {12, "9", "Путь ОП"},
                 {13, "9", "Путь ОП"},
                 {14, "9", "Путь ОП"},
                 {15, "10", "Бригада ПТО Тарвинского парка"}};
    int i = 0;
    for (const auto& t : table) {
        TExecutor e;
        e.Number = t.number;
        e.SetScill(t.scill);
        e.ExecName = t.name;
        m.ExecutorArray->Set(i++, e);
    }
}

} // namespace fuzz
