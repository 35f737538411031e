#include "conversion_outcome.h"

#include "messages.h"
#include "write_error.h"

ConversionOutcome RunReporting(const std::function<int()>& convert, MessageHost& host)
{
    try {
        return convert() == 0 ? ConversionOutcome::Converted : ConversionOutcome::Failed;
    } catch (const WriteError& error) {
        host.ShowMessage(message::WriteFailed(host.NameForMessage(error.Path()), error.Reason()));
        return ConversionOutcome::WriteFailed;
    }
}

ConversionOutcome ConvertAndReport(const std::string& inputPath, const OutputTarget* target, MessageHost& host)
{
    return RunReporting(
        [&] { return target != nullptr ? ConvertCaptureFileTo(inputPath, *target, host) : ConvertCaptureFile(inputPath, host); },
        host);
}
