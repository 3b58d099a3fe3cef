// An acknowledged lyric upload survives the service being killed right after it: 200 times a
// service is started, uploads run from several clients at once, and the service is killed
// (SIGKILL) as soon as one is acknowledged. Every acknowledged lyric must be there afterwards
// and the database must check clean.

#include "ServiceTestKit.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

namespace tunola::service::test {
namespace {

TEST(ServiceDurability, AcknowledgedUploadsSurviveSigkill) {
    if (UsingPostgres())
        GTEST_SKIP() << "the database server, not the service, keeps PostgreSQL's commits";
    const std::filesystem::path work = FreshFolder("durability");
    const std::string db = TestDb(work, "durability");
    std::vector<std::string> acknowledged;
    std::mutex mutex;
    std::atomic<int> serial{0};
    for (int round = 0; round < 200; ++round) {
        TServiceProcess service;
        ASSERT_TRUE(service.Start(work, {"--db", db})) << "round " << round << "\n"
                                                       << service.Log();
        std::atomic<bool> acked{false};
        std::vector<std::thread> clients;
        for (int c = 0; c < 3; ++c) {
            clients.emplace_back([&] {
                for (int i = 0; i < 50; ++i) {
                    const std::string title = "song " + std::to_string(serial++);
                    httplib::Client client("127.0.0.1", service.Port());
                    client.set_read_timeout(5, 0);
                    auto r = client.Post("/lrcpost.asp",
                                         "ltitle=" + Enc(title) + "&lsinger=" + Enc("歌手") +
                                             "&llrc=" + Enc("[00:01.00]" + title + " 的歌词\r\n"),
                                         "application/x-www-form-urlencoded");
                    if (!r)
                        return; // killed
                    if (r->status == 200 && r->body == "OK\n") {
                        std::lock_guard lock(mutex);
                        acknowledged.push_back(title);
                        acked = true;
                    }
                }
            });
        }
        while (!acked)
            std::this_thread::yield();
        service.Kill();
        for (std::thread& t : clients)
            t.join();
    }

    {
        QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        check.setDatabaseName(QString::fromStdString(db));
        ASSERT_TRUE(check.open());
        QSqlQuery q(check);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT title FROM lyrics")));
        std::set<std::string> stored;
        while (q.next())
            stored.insert(q.value(0).toString().toStdString());
        size_t missing = 0;
        for (const std::string& title : acknowledged)
            missing += stored.count(title) == 0;
        EXPECT_EQ(missing, 0u) << "of " << acknowledged.size() << " acknowledged uploads";
        EXPECT_GE(acknowledged.size(), 200u);
        check.close();
    }
    QSqlDatabase::removeDatabase("check");

    // And the service opens it again.
    TServiceProcess again;
    ASSERT_TRUE(again.Start(work, {"--db", db}));
    EXPECT_EQ(Get(again.Port(), "/soft/updata.asp")->status, 200);
    EXPECT_EQ(again.Stop(), 0);
}

} // namespace
} // namespace tunola::service::test
