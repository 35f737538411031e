// The web edition's entry points, called by the worker (worker.js) through
// the module emscripten builds: the zone to use, then one conversion.

#include "convert_capture_file.h"
#include "local_time_web.h"
#include "write_error.h"

#include <emscripten.h>

// The worker's side of these entry points (the file layer has its own,
// Module.tpcFiles, in file_layer_web.cpp):
//   Module.tpcHost.message(text)       a failure message, as the programs print it
//   Module.tpcHost.progress(done, total) -> false to stop the conversion
//   Module.tpcHost.summary(line)       the summary line of the pcap left
//   Module.tpcZoneOffsetAt(utc)      -> seconds east of UTC of the chosen zone at
//                                       the instant `utc` (seconds since 1970)

namespace {

EM_JS(void, JsShowMessage, (const char* text), { Module.tpcHost.message(UTF8ToString(text)); });

EM_JS(int, JsOnProgress, (double done, double total), { return Module.tpcHost.progress(done, total) ? 1 : 0; });

EM_JS(void, JsOnSummary, (const char* line), { Module.tpcHost.summary(UTF8ToString(line)); });

EM_JS(int, JsZoneOffsetAt, (double utc), { return Module.tpcZoneOffsetAt(utc); });

// Messages, progress and the summary go to the worker, which posts them to the page.
class WorkerHost : public MessageHost {
public:
    explicit WorkerHost(std::string name) : m_name(std::move(name)) {}
    void ShowMessage(const std::string& text) override { JsShowMessage(text.c_str()); }
    bool OnProgress(std::uint64_t done, std::uint64_t total) override
    {
        return JsOnProgress(static_cast<double>(done), static_cast<double>(total)) != 0;
    }
    void OnSummary(const ConversionSummary& summary) override { JsOnSummary(SummaryLine(m_name, summary).c_str()); }

private:
    std::string m_name;
};

} // namespace

extern "C" {

// Takes the zone Module.tpcZoneOffsetAt describes for the conversions that follow.
EMSCRIPTEN_KEEPALIVE void tpc_use_zone()
{
    UseZone([](std::int64_t utc) { return static_cast<std::int32_t>(JsZoneOffsetAt(static_cast<double>(utc))); });
}

// Converts the capture chosen as `name`; 0 or -1 as the programs.
EMSCRIPTEN_KEEPALIVE int tpc_convert(const char* name)
{
    WorkerHost host(name);
    try {
        return ConvertCaptureFile(name, host);
    } catch (const WriteError& error) {
        ShowWriteError(error, host);
        return -1;
    }
}

} // extern "C"
