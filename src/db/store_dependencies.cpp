#include "db/store_dependencies.h"

#include "db/fb_api.h"
#include "support/codec_1251.h"

#include <cstring>

using namespace Firebird;

namespace {

// Names as VARCHAR, types as INTEGER: the columns of DependencyRow.
const char *const kDependencies =
    "SELECT CAST(TRIM(D.RDB$DEPENDENT_NAME) AS VARCHAR(252)), CAST(D.RDB$DEPENDENT_TYPE AS INTEGER),\n"
    "       CAST(TRIM(D.RDB$DEPENDED_ON_NAME) AS VARCHAR(252)), CAST(D.RDB$DEPENDED_ON_TYPE AS INTEGER),\n"
    "       CAST(TRIM(F.RDB$RELATION_NAME) AS VARCHAR(252)),\n"
    "       CAST(CASE WHEN R.RDB$VIEW_BLR IS NULL THEN 0 ELSE 1 END AS INTEGER)\n"
    "FROM RDB$DEPENDENCIES D\n"
    "LEFT JOIN RDB$RELATION_FIELDS F ON D.RDB$DEPENDENT_TYPE = 3 AND F.RDB$FIELD_SOURCE = D.RDB$DEPENDENT_NAME\n"
    "LEFT JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = F.RDB$RELATION_NAME\n"
    "WHERE D.RDB$DEPENDENT_TYPE IN (1, 3, 5, 15, 18, 19)\n"
    "UNION ALL\n"
    "SELECT CAST(TRIM(P.RDB$PROCEDURE_NAME) AS VARCHAR(252)), 5, CAST('' AS VARCHAR(252)), -1,\n"
    "       CAST(NULL AS VARCHAR(252)), 0\n"
    "FROM RDB$PROCEDURES P\n"
    "WHERE P.RDB$PACKAGE_NAME IS NULL AND P.RDB$PROCEDURE_SOURCE CONTAINING 'EXECUTE STATEMENT'\n"
    "UNION ALL\n"
    "SELECT CAST(TRIM(U.RDB$FUNCTION_NAME) AS VARCHAR(252)), 15, CAST('' AS VARCHAR(252)), -1,\n"
    "       CAST(NULL AS VARCHAR(252)), 0\n"
    "FROM RDB$FUNCTIONS U\n"
    "WHERE U.RDB$PACKAGE_NAME IS NULL AND U.RDB$FUNCTION_SOURCE CONTAINING 'EXECUTE STATEMENT'\n"
    "UNION ALL\n"
    "SELECT CAST(TRIM(K.RDB$PACKAGE_NAME) AS VARCHAR(252)), 19, CAST('' AS VARCHAR(252)), -1,\n"
    "       CAST(NULL AS VARCHAR(252)), 0\n"
    "FROM RDB$PACKAGES K\n"
    "WHERE K.RDB$PACKAGE_BODY_SOURCE CONTAINING 'EXECUTE STATEMENT'";

struct Column {
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

QString textAt(const std::vector<unsigned char> &message, const Column &c)
{
    if (*reinterpret_cast<const short *>(message.data() + c.nullOffset))
        return QString();
    std::uint16_t length = 0;
    std::memcpy(&length, message.data() + c.offset, sizeof length);
    return Cp1251::decode(reinterpret_cast<const char *>(message.data() + c.offset + 2), length).trimmed().toUpper();
}

int integerAt(const std::vector<unsigned char> &message, const Column &c)
{
    if (*reinterpret_cast<const short *>(message.data() + c.nullOffset))
        return 0;
    std::int32_t value = 0;
    std::memcpy(&value, message.data() + c.offset, sizeof value);
    return value;
}

} // namespace

std::vector<DependencyRow> ReadStoreDependencies(IAttachment *attachment, ITransaction *transaction)
{
    std::vector<DependencyRow> rows;
    fb::Status st;
    fb::check([&] {
        fb::Handle<IStatement> statement(
            attachment->prepare(st.get(), transaction, 0, kDependencies, 1, IStatement::PREPARE_PREFETCH_METADATA));
        fb::Handle<IMessageMetadata> meta(statement->getOutputMetadata(st.get()));
        Column columns[6];
        for (unsigned i = 0; i < 6; ++i)
            columns[i] = {meta->getOffset(st.get(), i), meta->getNullOffset(st.get(), i)};
        std::vector<unsigned char> message(meta->getMessageLength(st.get()));
        fb::Handle<IResultSet> cursor(statement->openCursor(st.get(), transaction, nullptr, nullptr, meta.get(), 0));
        while (cursor->fetchNext(st.get(), message.data()) == IStatus::RESULT_OK) {
            rows.push_back({textAt(message, columns[0]), integerAt(message, columns[1]), textAt(message, columns[2]),
                            integerAt(message, columns[3]), textAt(message, columns[4]),
                            integerAt(message, columns[5]) != 0});
        }
    });
    return rows;
}
