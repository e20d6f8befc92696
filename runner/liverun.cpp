#include "runner/liverun.h"

#include "runner/u16text.h"

#include <new>

LiveAnswer RunLive(LiveRequest request, engine::RunControl &control,
                   std::chrono::milliseconds timeCap)
{
    using Clock = std::chrono::steady_clock;
    LiveAnswer answer;
    control.setTimeLimit(timeCap);
    const auto started = Clock::now();
    try {
        engine::RegExp regExp;
        regExp.setRunControl(&control);
        regExp.setGlobal(request.options.global);
        regExp.setIgnoreCase(request.options.ignoreCase);
        regExp.setMultiline(request.options.multiline);
        regExp.setPattern(
            u16View(PreparePattern(request.pattern, request.options.ignoreLineBreaks)));
        const auto source = std::make_shared<const std::u16string>(u16View(request.source));
        request.source = QString();
        answer.matches = std::make_shared<const engine::MatchCollection>(regExp.Execute(source));
        answer.positions = std::make_shared<MatchPositions>(*answer.matches);
        if (request.replace)
            answer.replaced = toQString(regExp.Replace(*source, u16View(request.replacement)));
    } catch (const engine::RegExpError &error) {
        answer = LiveAnswer();
        switch (error.number()) {
        case engine::errors::Cancelled:
            answer.outcome = LiveAnswer::Outcome::Cancelled;
            break;
        case engine::errors::RunTooLong:
            answer.outcome = LiveAnswer::Outcome::Stopped;
            break;
        default:
            answer.outcome = LiveAnswer::Outcome::Failed;
            answer.error = error;
        }
    } catch (const std::bad_alloc &) {
        answer = LiveAnswer();
        answer.outcome = LiveAnswer::Outcome::Failed;
        answer.error = engine::RegExpError(engine::errors::EngineFailure, u"Out of memory", -1);
    }
    answer.engineTime = Clock::now() - started;
    return answer;
}
