#include "app/MainGatewayLink.h"

MainGatewayLink::MainGatewayLink(ModbusLink &link, std::function<bool()> connected,
                                 QObject *parent)
    : GatewayLink(parent), m_link(link), m_connected(std::move(connected))
{
    connect(&link, &ModbusLink::exceptionAnswer, this, &GatewayLink::exceptionAnswer);
}
