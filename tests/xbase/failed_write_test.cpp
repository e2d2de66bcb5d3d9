// Writes that the system refuses part-way - a full disk, a file that may not
// grow, a refused write - in the middle of a post: the caller gets the cause,
// the table and index files are as they were, the append and index locks are
// free for other programs, and the same table object posts again once the
// disk takes writes again.
//
// Each case runs in a child process: a file-size limit (SIGXFSZ ignored, so
// a write past it fails instead of ending the process) refuses every write
// at or past an offset of any file; a system-call filter refuses the header
// write, which lies before any such limit.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "cdx/cdx_test_util.h"
#include "dbf_writer.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/table/dbf_table.h"

namespace {

// ClipLock: the append lock of the table and the index lock of an index file.
constexpr uint64_t kClipLock = 1000000000;
constexpr int kSeeded = 30;

// A name of 60 characters that sorts by `n` and packs badly, so that a leaf
// of the name tag holds only a few keys and splits often.
std::string Name(char lead, int n) {
  char head[8];
  std::snprintf(head, sizeof head, "%c%03d", lead, n);
  std::string name = head;
  unsigned x = 2654435761u * static_cast<unsigned>(n + 1);
  while (name.size() < 60) {
    x = x * 1103515245u + 12345u;
    name += static_cast<char>('A' + (x >> 16) % 26);
  }
  return name;
}

std::string Kav(int n) {
  char kav[8];
  std::snprintf(kav, sizeof kav, "%06d", n);
  return kav;
}

// A child process running `body`; Report() waits for it and returns the
// lines it reported, as "key: value" pairs.
class Child {
 public:
  explicit Child(const std::function<void(std::ostream&)>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(fds[0]);
      ::signal(SIGXFSZ, SIG_IGN);
      std::ostringstream out;
      try {
        body(out);
      } catch (const std::exception& e) {
        out << "unexpected: " << e.what() << "\n";
      }
      const std::string text = out.str();
      for (size_t done = 0; done < text.size();) {
        ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      ::_exit(0);
    }
    ::close(fds[1]);
    fd_ = fds[0];
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  std::map<std::string, std::string> Report() {
    std::string text;
    char buf[4096];
    for (ssize_t n; fd_ >= 0 && (n = ::read(fd_, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    std::map<std::string, std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      size_t colon = line.find(": ");
      if (colon != std::string::npos) lines[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return lines;
  }
  ~Child() { Report(); }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
};

void LimitFileSize(rlim_t bytes) {
  struct rlimit limit;
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

void LiftFileSizeLimit() {
  struct rlimit limit;
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

// From now on every write of `count` bytes at `offset` fails with EIO in
// this process (there is no going back: the child ends with it).
bool RefuseWrites(uint32_t offset, uint32_t count) {
  struct sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pwrite64, 0, 5),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, args[3])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, offset, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, args[2])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, count, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  struct sock_fprog program = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// The header write of a table file: 31 bytes at offset 1.
void RefuseHeaderWrites() {
  if (!RefuseWrites(1, 31)) throw std::runtime_error("no system-call filter");
}

// The problems `dbftool check` would report for the index files of the table.
std::string IndexProblems(const std::string& table, const std::vector<std::string>& indexes) {
  XbDbfFile dbf;
  XbDbfFile::Options options;
  options.writable = false;
  dbf.Open(table, options);
  std::string problems;
  for (const std::string& index : indexes) {
    std::unique_ptr<XbCdxFile> file = XbCdxFile::Open(index, dbf, ExpressionKeySources(dbf));
    for (const XbTagReport& r : CheckIndexFile(*file))
      for (const std::string& p : r.problems) problems += index + " " + r.tag + ": " + p + "; ";
  }
  return problems;
}

// The table file without the header's date and change stamp, which every
// header write renews.
std::string TableBytes(const std::string& path) {
  std::string bytes = ReadFile(path);
  for (size_t i : {1, 2, 3, 16, 17, 18, 19})
    if (i < bytes.size()) bytes[i] = 0;
  return bytes;
}

class FailedWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = dir_.File("Cards.dbf");
    kavs_ = dir_.File("Cards.cdx");
    names_ = dir_.File("Names.cdx");
    CreateTable(table_, {{"KAV", 'C', 6}, {"NAC", 'C', 60}});
    TDbfTable t;
    Bind(t);
    t.Open();
    for (int i = 1; i <= kSeeded; ++i) {
      t.Append();
      t.FieldByName("KAV").SetAsString(Kav(i));
      t.FieldByName("NAC").SetAsString(Name('N', i));
      t.Post();
    }
    t.CreateIndexTag("Cards", "KAV", "KAV", "", 1, 0);
    t.CreateIndexTag("Names", "NAC", "NAC", "", 1, 0);
    t.Close();
  }
  // The table object as the program has it: both index files open, the
  // short keys first, under the locks the shops' programs use.
  void Bind(TDbfTable& t) {
    t.SetDatabaseName(dir_.Path());
    t.SetTableName("Cards");
    t.SetLockProtocol(TXbLockProtocol::ClipLock);
  }
  void OpenWithIndexes(TDbfTable& t) {
    Bind(t);
    t.Open();
    t.OpenIndexFile("Cards");
    t.OpenIndexFile("Names");
  }
  uint64_t RecordOffset(long recno) const {
    std::string head = ReadFile(table_).substr(8, 4);
    uint64_t headerLength = static_cast<uint8_t>(head[0]) | static_cast<uint8_t>(head[1]) << 8;
    uint64_t recordLength = static_cast<uint8_t>(head[2]) | static_cast<uint8_t>(head[3]) << 8;
    return headerLength + recordLength * static_cast<uint64_t>(recno - 1);
  }
  static uint64_t SizeOf(const std::string& path) { return std::filesystem::file_size(path); }

  // Runs `post` in a child after `refuse`, which must make it fail with
  // "Error writing to <failing>"; checks the files and locks right after,
  // and, when the refusal can be lifted, posts again in the same table object.
  // Returns the record count right after the failure.
  long Expect(const std::function<void()>& refuse, const std::function<void(TDbfTable&)>& post,
              const std::string& failing, bool liftable) {
    auto report = Child([&](std::ostream& out) {
      TDbfTable t;
      OpenWithIndexes(t);
      before_ = TableBytes(table_);
      refuse();
      try {
        post(t);
        out << "error: none\n";
      } catch (const EDbfError& e) {
        out << "error: " << e.what() << "\n";
      }
      out << "table as before: " << (TableBytes(table_) == before_) << "\n";
      out << "records: " << Count() << "\n";
      out << "append lock free: " << OtherProcessCanLock(table_, kClipLock, 1) << "\n";
      out << "index locks free: "
          << (OtherProcessCanLock(kavs_, kClipLock, 1) && OtherProcessCanLock(names_, kClipLock, 1)) << "\n";
      out << "index problems: " << IndexProblems(table_, {kavs_, names_}) << "\n";
      if (!liftable) return;
      LiftFileSizeLimit();
      t.Post();
      out << "posted again: " << (t.State() == TDataSetState::Browse) << "\n";
    }).Report();
    EXPECT_EQ(report["unexpected"], "");
    EXPECT_EQ(report["error"], "Error writing to " + failing);
    EXPECT_EQ(report["table as before"], "1");
    EXPECT_EQ(report["append lock free"], "1");
    EXPECT_EQ(report["index locks free"], "1");
    EXPECT_EQ(report["index problems"], "");
    EXPECT_EQ(report["posted again"], liftable ? "1" : "");
    EXPECT_EQ(IndexProblems(table_, {kavs_, names_}), "");
    return std::stol("0" + report["records"]);
  }

  long Count() const {
    XbDbfFile dbf;
    dbf.Open(table_, XbDbfFile::Options{});
    return dbf.RecordCount();
  }
  std::string NameOf(long recno) {
    TDbfTable t;
    Bind(t);
    t.Open();
    t.SetRecNo(recno);
    return t.FieldByName("NAC").AsString();
  }

  TempDir dir_;
  std::string table_, kavs_, names_;
  std::string before_;  // the table file before the post that fails
};

// Starts a new record and posts it.
void AppendNamed(TDbfTable& t, int n) {
  t.Append();
  t.FieldByName("KAV").SetAsString(Kav(n));
  t.FieldByName("NAC").SetAsString(Name('Z', n));
  t.Post();
}

TEST_F(FailedWrite, AppendWhoseRecordCannotBeWrittenWhole) {
  // The limit falls inside the new record: part of it reaches the file.
  const uint64_t limit = SizeOf(table_) + 10;
  EXPECT_EQ(Expect([&] { LimitFileSize(limit); }, [](TDbfTable& t) { AppendNamed(t, 100); }, table_, true),
            kSeeded);
  EXPECT_EQ(Count(), kSeeded + 1);
  EXPECT_EQ(NameOf(kSeeded + 1), Name('Z', 100));
}

TEST_F(FailedWrite, AppendWhoseHeaderCannotBeWritten) {
  EXPECT_EQ(Expect(RefuseHeaderWrites, [](TDbfTable& t) { AppendNamed(t, 100); }, table_, false), kSeeded);
  EXPECT_EQ(Count(), kSeeded);
}

TEST_F(FailedWrite, AppendWhoseIndexFileCannotGrow) {
  // The name index may not grow, so the first append that splits a leaf of
  // it fails - after the short-key index took the key, which must give it
  // back, and after the table took the record. Appended names sort last:
  // the leaf that splits has a left neighbour whose link must not move.
  const uint64_t limit = SizeOf(names_);
  long records = Expect([&] { LimitFileSize(limit); },
                        [&](TDbfTable& t) {
                          for (int n = 100; n < 160; ++n) {
                            before_ = TableBytes(table_);
                            AppendNamed(t, n);
                          }
                        },
                        names_, true);
  EXPECT_GT(records, kSeeded);  // appends that fitted into the leaves got in
  EXPECT_EQ(Count(), records + 1);
}

TEST_F(FailedWrite, UpdateWhoseRecordCannotBeWrittenWhole) {
  const uint64_t limit = RecordOffset(5) + 7;
  Expect([&] { LimitFileSize(limit); },
         [](TDbfTable& t) {
           t.SetRecNo(5);
           t.Edit();
           t.FieldByName("KAV").SetAsString(Kav(500));  // among the bytes that do reach the file
           t.FieldByName("NAC").SetAsString(Name('Y', 5));
           t.Post();
         },
         table_, true);
  EXPECT_EQ(Count(), kSeeded);
  EXPECT_EQ(NameOf(5), Name('Y', 5));
}

TEST_F(FailedWrite, UpdateWhoseHeaderCannotBeWritten) {
  Expect(RefuseHeaderWrites,
         [](TDbfTable& t) {
           t.SetRecNo(5);
           t.Edit();
           t.FieldByName("KAV").SetAsString(Kav(500));
           t.Post();
         },
         table_, false);
  EXPECT_EQ(NameOf(5), Name('N', 5));
}

TEST_F(FailedWrite, UpdateWhoseNewKeyCannotBeWritten) {
  // The name tag's first leaf, which holds the old key of record 2, may be
  // rewritten, the leaves after it not. The old key goes, the new one
  // (sorting among the last) cannot come, so the old one must come back.
  uint32_t firstLeaf = 0, lastLeaf = 0;
  {
    XbDbfFile dbf;
    dbf.Open(table_, XbDbfFile::Options{});
    std::unique_ptr<XbCdxFile> file = XbCdxFile::Open(names_, dbf, ExpressionKeySources(dbf));
    XbCdxTag& tag = *file->FindTag("NAC");
    cdx::XbCdxNode root = file->ReadNode(tag.RootOffset(), tag.Format());
    ASSERT_FALSE(root.IsLeaf());
    firstLeaf = root.entries.front().child;
    lastLeaf = root.entries.back().child;
  }
  const uint64_t limit = firstLeaf + cdx::kNodeSize;
  ASSERT_GE(lastLeaf, limit);
  ASSERT_LT(SizeOf(table_), limit);
  static const std::string kBetween = "N025" + std::string(56, 'Z');  // after N025..., before N026...
  Expect([&] { LimitFileSize(limit); },
         [](TDbfTable& t) {
           t.SetRecNo(2);
           t.Edit();
           t.FieldByName("NAC").SetAsString(kBetween);
           t.Post();
         },
         names_, true);
  EXPECT_EQ(Count(), kSeeded);
  EXPECT_EQ(NameOf(2), kBetween);
}

TEST_F(FailedWrite, AppendsThatFailBesideAnotherProgramAppending) {
  // One process may not grow the files past a limit, another appends
  // without one at the same time. The first one's failed appends are taken
  // back under the locks and must never cut or unindex the other's records.
  const uint64_t limit = SizeOf(names_) + 2 * cdx::kNodeSize;
  auto appender = [this](char lead, uint64_t limit) {
    return [this, lead, limit](std::ostream& out) {
      TDbfTable t;
      OpenWithIndexes(t);
      if (limit) LimitFileSize(limit);
      int posted = 0, refused = 0;
      for (int n = 0; n < 40; ++n) {
        try {
          t.Append();
          t.FieldByName("KAV").SetAsString(Kav(lead * 1000 + n));
          t.FieldByName("NAC").SetAsString(Name(lead, n));
          t.Post();
          ++posted;
        } catch (const EDbfError& e) {
          if (std::string(e.what()).rfind("Error writing to ", 0) != 0) throw;
          t.Cancel();
          ++refused;
        }
      }
      out << "posted: " << posted << "\nrefused: " << refused << "\n";
    };
  };
  Child limited(appender('M', limit));
  Child unlimited(appender('Z', 0));
  auto a = limited.Report();
  auto b = unlimited.Report();
  EXPECT_EQ(a["unexpected"], "");
  EXPECT_EQ(b["unexpected"], "");
  EXPECT_EQ(b["posted"], "40");
  EXPECT_NE(a["refused"], "0") << "posted " << a["posted"];
  EXPECT_EQ(Count(), kSeeded + 40 + std::stol("0" + a["posted"]));
  EXPECT_EQ(IndexProblems(table_, {kavs_, names_}), "");
}

}  // namespace
