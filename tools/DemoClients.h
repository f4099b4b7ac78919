#pragma once
// A handful of invented clients for demonstrations and screenshots.
#include <QList>

#include "base/ClientRecord.h"

QList<ClientRecord> DemoClients();
