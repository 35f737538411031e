#include "conversion_outcome.h"

#include "write_error.h"

ConversionOutcome ConvertAndReport(const std::string& inputPath, const OutputTarget* target, MessageHost& host)
{
    try {
        const int result =
            target != nullptr ? ConvertCaptureFileTo(inputPath, *target, host) : ConvertCaptureFile(inputPath, host);
        return result == 0 ? ConversionOutcome::Converted : ConversionOutcome::Failed;
    } catch (const WriteError& error) {
        host.ShowMessage(host.NameForMessage(error.Path()) + " Write error: " + error.Reason());
        return ConversionOutcome::WriteFailed;
    }
}
