#include <algorithm>
#include <cstdio>

#include "ToolCommon.h"
#include "quillet/Event.h"

namespace quillet::tool {

int RunAlarms(const std::vector<std::string>& args) {
    RangeOptions o = ParseRangeOptions(args);
    auto cals = LoadAll(o.files);
    if (!cals) return 1;
    struct Row {
        DateValue time;
        std::string summary, uid;
    };
    std::vector<Row> rows;
    for (const auto& cal : *cals) {
        for (const auto& alarm : cal->QueryAlarm(o.from, o.to)) {
            auto ev = alarm->vEvent();
            std::string summary = ev ? OneLine(ev->Summary()->Value()) : std::string();
            std::string uid = ev ? ev->UID()->Value() : std::string();
            for (const auto& t : alarm->OccurTimes()) rows.push_back({t->localtime(), summary, uid});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.time != b.time ? a.time < b.time : a.uid < b.uid;
    });
    if (!o.tsv && rows.empty()) std::printf("No reminders in that range.\n");
    for (const Row& r : rows) {
        if (o.tsv)
            std::printf("%s\t%s\t%s\n", FormatWhen(r.time, false).c_str(), r.summary.c_str(), r.uid.c_str());
        else
            std::printf("%s  %s\n", FormatWhen(r.time, false).replace(10, 1, " ").c_str(),
                        r.summary.empty() ? "(no title)" : r.summary.c_str());
    }
    return 0;
}

int RunTodos(const std::vector<std::string>& args) {
    RangeOptions o = ParseRangeOptions(args, false);
    auto cals = LoadAll(o.files);
    if (!cals) return 1;
    static const char* const kStatus[] = {"NEEDS-ACTION", "COMPLETED", "IN-PROCESS", "CANCELLED"};
    bool any = false;
    for (const auto& cal : *cals) {
        for (const auto& todo : cal->Todos()) {
            any = true;
            const auto& due = todo->Due();
            std::string dueText = due->IsSet() ? FormatWhen(due->localtime(), due->IsDate()) : "";
            int st = todo->Status();
            std::string status = st >= 0 && st <= 3 ? kStatus[st] : "";
            std::string percent = todo->Percent() >= 0 ? std::to_string(todo->Percent()) : "";
            std::string summary = OneLine(todo->Summary()->Value());
            if (o.tsv) {
                std::printf("%s\t%s\t%s\t%d\t%s\t%s\n", dueText.c_str(), status.c_str(), percent.c_str(),
                            todo->Priority(), summary.c_str(), todo->UID()->Value().c_str());
            } else {
                std::printf("[%c] %s%s%s\n", st == 1 ? 'x' : ' ', summary.empty() ? "(no title)" : summary.c_str(),
                            dueText.empty() ? "" : "  (due ", dueText.empty() ? "" : (dueText + ")").c_str());
            }
        }
    }
    if (!o.tsv && !any) std::printf("No to-dos.\n");
    return 0;
}

}  // namespace quillet::tool
