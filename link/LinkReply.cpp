#include "link/LinkReply.h"

void LinkReply::finishAnswered(const ReceiveBuffer &answer, const modbus::AnswerMatch &match)
{
    if (isFinished())
        return;
    m_answer = answer;
    m_match = match;
    finish(Ending::Answered);
}

void LinkReply::finish(Ending ending)
{
    if (isFinished())
        return;
    m_ending = ending;
    emit finished();
}

void onAnswer(const Reply &reply, QObject *context, std::function<void(const LinkReply &)> handle)
{
    if (!reply)
        return;
    LinkReply *r = reply.get();
    if (r->isFinished()) {
        if (r->isGoodAnswer())
            handle(*r);
        return;
    }
    QObject::connect(r, &LinkReply::finished, context, [r, handle = std::move(handle)] {
        if (r->isGoodAnswer())
            handle(*r);
    });
}
