#include "db/db_error.h"

#include <ibase.h>

bool DbError::isConnectionLost() const
{
    switch (gdsCode_) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_shutdown:
    case isc_att_shutdown:
        return true;
    default:
        // SQLSTATE class 08: connection exception.
        return sqlState_.startsWith(QLatin1String("08"));
    }
}

bool DbError::isCancelled() const
{
    return gdsCode_ == isc_cancelled;
}
