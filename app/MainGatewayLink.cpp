#include "app/MainGatewayLink.h"

MainGatewayLink::MainGatewayLink(ModbusLink &link, std::function<bool()> connected,
                                 std::function<QString()> status, QObject *parent)
    : GatewayLink(parent), m_link(link), m_connected(std::move(connected)), m_status(std::move(status))
{
    connect(&link, &ModbusLink::exceptionAnswer, this, &GatewayLink::exceptionAnswer);
}
