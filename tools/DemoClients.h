#pragma once
// A handful of invented clients for demonstrations and screenshots.
#include <QList>

#include "clients/ClientRecord.h"

QList<ClientRecord> DemoClients();
