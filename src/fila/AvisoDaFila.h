#pragma once
// How a submitter wakes the queue's service without the service polling: after its pages are
// committed, it connects to a local socket the service listens on and writes one byte. The socket
// and the service's own lock are named after the database file, in the shared lock folder, so one
// service serves one Pager.Mdb and every user's submitters find it.
#include <QString>

// The socket of the open database's service.
QString EnderecoDoAviso();
// The lock that keeps a second service off the same database.
QString TravaDoServico();
// Best effort: nobody listening (the service is not running) is not an error; the pages wait.
void AvisaServicoDaFila();
