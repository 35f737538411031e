// The web edition's entry points, called by the worker (worker.js) through
// the module emscripten builds: the zone to use, then one conversion.

#include "convert_capture_file.h"
#include "local_time_web.h"
#include "write_error.h"

#include <emscripten.h>

#include <vector>

namespace {

EM_JS(void, JsShowMessage, (const char* text), { Module.tpcHost.message(UTF8ToString(text)); });

EM_JS(int, JsOnProgress, (double done, double total), { return Module.tpcHost.progress(done, total) ? 1 : 0; });

EM_JS(int, JsZoneChangeCount, (), { return Module.tpcZoneChanges.length; });
EM_JS(double, JsZoneChangeInstant, (int index), { return Module.tpcZoneChanges[index].utc; });
EM_JS(int, JsZoneChangeOffset, (int index), { return Module.tpcZoneChanges[index].offset; });

// Messages and progress go to the worker, which posts them to the page.
class WorkerHost : public MessageHost {
public:
    void ShowMessage(const std::string& text) override { JsShowMessage(text.c_str()); }
    bool OnProgress(std::uint64_t done, std::uint64_t total) override
    {
        return JsOnProgress(static_cast<double>(done), static_cast<double>(total)) != 0;
    }
};

} // namespace

extern "C" {

// Takes the chosen zone's offsets from Module.tpcZoneChanges.
EMSCRIPTEN_KEEPALIVE void tpc_use_zone()
{
    std::vector<ZoneOffsetChange> changes(static_cast<std::size_t>(JsZoneChangeCount()));
    for (std::size_t i = 0; i < changes.size(); ++i) {
        changes[i].utc = static_cast<std::int64_t>(JsZoneChangeInstant(static_cast<int>(i)));
        changes[i].offset = JsZoneChangeOffset(static_cast<int>(i));
    }
    UseZoneOffsetChanges(changes);
}

// Converts the capture `name` in the current folder; 0 or -1 as the programs.
EMSCRIPTEN_KEEPALIVE int tpc_convert(const char* name)
{
    WorkerHost host;
    try {
        return ConvertCaptureFile(name, host);
    } catch (const WriteError& error) {
        host.ShowMessage(error.what());
        return -1;
    }
}

} // extern "C"
