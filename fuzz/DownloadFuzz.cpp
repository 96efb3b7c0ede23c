// Fuzz entry point for the check a delivered download must pass. The input
// is one server answer: a byte choosing the HTTP status, a byte shifting
// the reported byte count, then the header block up to the first blank
// line and the body after it. Besides memory errors it checks, against a
// plain reading of the headers, that nothing is imported without a single
// agreed Content-Length equal to the bytes received.
#include "mainwindow/DownloadScheduler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

std::string Lower(std::string S)
{
    for (char& C : S)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return S;
}

// True when every "content-length:" line names Size (leading zeros and
// blanks aside), at least one does, and no line is a transfer coding.
bool HeadersProve(const std::string& Headers, std::int64_t Size)
{
    const std::string Text = Lower(Headers);
    const std::string Want = std::to_string(Size);
    bool Seen = false;
    std::size_t Start = 0;
    while (Start <= Text.size()) {
        std::size_t End = Text.find('\n', Start);
        if (End == std::string::npos)
            End = Text.size();
        const std::string Line = Text.substr(Start, End - Start);
        Start = End + 1;
        if (Line.compare(0, 18, "transfer-encoding:") == 0)
            return false;
        const std::string Name = "content-length:";
        if (Line.compare(0, Name.size(), Name) != 0)
            continue;
        std::string Value;
        for (char C : Line.substr(Name.size()))
            if (C != ' ' && C != '\t' && C != '\r')
                Value += C;
        Value.erase(0, Value.find_first_not_of('0'));
        if (Value != Want)
            return false;
        Seen = true;
    }
    return Seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < 2)
        return 0;
    static const int Statuses[] = {200, 200, 200, 0, 206, 404, 500, 304};
    const int Status = Statuses[Data[0] % 8];
    const std::string Answer(reinterpret_cast<const char*>(Data + 2), Size - 2);
    const std::size_t Blank = Answer.find("\r\n\r\n");
    const std::string Headers = Answer.substr(0, Blank == std::string::npos ? Answer.size() : Blank + 4);
    const std::string Body = Blank == std::string::npos ? std::string() : Answer.substr(Blank + 4);
    static const int Shifts[] = {0, 0, -1, 1};
    const std::int64_t Count = static_cast<std::int64_t>(Body.size()) + Shifts[Data[1] % 4];

    const std::int64_t Announced = AnnouncedLength(Headers);
    Require(Announced >= -1);
    const TDownloadVerdict Verdict = JudgeDownload(Status, Headers, Body, Count);
    if (Verdict == TDownloadVerdict::NoLength)
        Require(Announced < 0);
    if (Verdict != TDownloadVerdict::Import)
        return 0;
    Require(Status == 200);
    Require(Count > 0 && Count <= MaxDownloadSize);
    Require(Count == static_cast<std::int64_t>(Body.size()));
    Require(Announced == Count);
    Require(HeadersProve(Headers, Count));
    return 0;
}
