#include "tools/mkdata/haifeng_db.h"

#include "platform/utf.h"

#include <sqlite3.h>

namespace zv::mkdata {

namespace {

class Database {
public:
    explicit Database(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    bool ok() const { return db_ != nullptr; }

    // Calls f(texts, numbers) for each row; false when the query fails.
    template <class F>
    bool query(const char* sql, int columns, F f) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) return false;
        std::vector<std::u16string> texts(static_cast<size_t>(columns));
        std::vector<int64_t> numbers(static_cast<size_t>(columns));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                texts[static_cast<size_t>(c)] = t ? utf8ToUtf16(reinterpret_cast<const char*>(t)) : std::u16string();
                numbers[static_cast<size_t>(c)] = sqlite3_column_int64(st, c);
            }
            f(texts, numbers);
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace

bool readHaifengDatabase(const std::string& path, HaifengData& out) {
    Database db(path);
    if (!db.ok()) return false;
    return db.query("SELECT tabkeys, phrase, freq FROM phrases ORDER BY id", 3,
                    [&](auto& t, auto& n) { out.phrases.push_back({t[0], t[1], n[2]}); }) &&
           db.query("SELECT pinyin, zi, freq FROM pinyin", 3,
                    [&](auto& t, auto& n) { out.pinyin.push_back({t[0], t[1], n[2]}); }) &&
           db.query("SELECT zi, goucima FROM goucima", 2, [&](auto& t, auto&) { out.goucima.emplace_back(t[0], t[1]); }) &&
           db.query("SELECT phrase, freq FROM suggestion", 2,
                    [&](auto& t, auto& n) { out.suggestions.emplace_back(t[0], n[1]); });
}

}  // namespace zv::mkdata
