#include "platform/shared_trust_store.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct StoreFree {
  void operator()(X509_STORE* store) const { X509_STORE_free(store); }
};
using StorePtr = std::unique_ptr<X509_STORE, StoreFree>;

// What identifies one version of a file without reading it.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

int64_t Nanoseconds(const timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool StampFile(const std::string& path, FileStamp& stamp) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return false;
  stamp = {info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim),
           Nanoseconds(info.st_ctim)};
  return true;
}

int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// A write within this long of reading the file could leave its times as they
// were (file times advance in clock ticks), so a stamp that recent proves
// nothing and the content is compared instead.
constexpr int64_t kRacyWindowNs = 1000000000;

// A store built for one extra CA file, with the file content it was built from,
// the stamp of the file when it was last read, and the store's generation.
struct ExtraStore {
  std::string content;
  StorePtr store;
  FileStamp stamp;
  int64_t readAtNs = 0;
  uint64_t generation = 0;

  // True when the file cannot have changed since it was read.
  bool StampProvesUnchanged(const FileStamp& now) const {
    return now == stamp && stamp.modifiedNs < readAtNs - kRacyWindowNs &&
           stamp.changedNs < readAtNs - kRacyWindowNs;
  }
};

// Stores of this many different extra files are kept; more only happen when
// tests start many emulators, each with its own CA file.
constexpr size_t kMaxExtraStores = 16;

std::mutex s_mutex;
StorePtr s_systemStore;                           // guarded by s_mutex
std::map<std::string, ExtraStore> s_extraStores;  // guarded by s_mutex
uint64_t s_lastGeneration = 0;                    // guarded by s_mutex

const char* SystemCaFile() {
  return curl_version_info(CURLVERSION_NOW)->cainfo;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Adds every certificate and revocation list of PEM `content`, as OpenSSL
// loads a CA file. False when the text holds none or cannot be parsed.
bool AddPemContent(X509_STORE* store, const std::string& content) {
  if (content.size() > static_cast<size_t>(INT_MAX)) {
    return false;
  }
  BIO* bio = BIO_new_mem_buf(content.data(), static_cast<int>(content.size()));
  if (bio == nullptr) {
    return false;
  }
  // An empty pass phrase: an encrypted key in the file never prompts.
  char noPassword[] = "";
  STACK_OF(X509_INFO)* items = PEM_X509_INFO_read_bio(bio, nullptr, nullptr, noPassword);
  BIO_free(bio);
  if (items == nullptr) {
    return false;
  }
  int added = 0;
  bool ok = true;
  for (int i = 0; ok && i < sk_X509_INFO_num(items); ++i) {
    X509_INFO* item = sk_X509_INFO_value(items, i);
    if (item->x509 != nullptr) {
      ok = X509_STORE_add_cert(store, item->x509) == 1;
      added += ok ? 1 : 0;
    }
    if (ok && item->crl != nullptr) {
      ok = X509_STORE_add_crl(store, item->crl) == 1;
      added += ok ? 1 : 0;
    }
  }
  sk_X509_INFO_pop_free(items, X509_INFO_free);
  return added > 0;
}

StorePtr BuildSystemStore() {
  StorePtr store(X509_STORE_new());
  const char* file = SystemCaFile();
  if (store == nullptr || (file != nullptr && X509_STORE_load_file(store.get(), file) != 1)) {
    return nullptr;
  }
  return store;
}

// A new store with every object of `from`, shared by reference (no parsing).
StorePtr CopyObjects(X509_STORE* from) {
  StorePtr store(X509_STORE_new());
  if (store == nullptr || X509_STORE_lock(from) != 1) {
    return nullptr;
  }
  bool ok = true;
  STACK_OF(X509_OBJECT)* objects = X509_STORE_get0_objects(from);
  for (int i = 0; ok && i < sk_X509_OBJECT_num(objects); ++i) {
    X509_OBJECT* object = sk_X509_OBJECT_value(objects, i);
    if (X509* certificate = X509_OBJECT_get0_X509(object)) {
      ok = X509_STORE_add_cert(store.get(), certificate) == 1;
    } else if (X509_CRL* list = X509_OBJECT_get0_X509_CRL(object)) {
      ok = X509_STORE_add_crl(store.get(), list) == 1;
    }
  }
  X509_STORE_unlock(from);
  return ok ? std::move(store) : nullptr;
}

// The system store, built on first use. Caller holds s_mutex.
X509_STORE* SystemStoreLocked() {
  if (s_systemStore == nullptr) {
    s_systemStore = BuildSystemStore();
  }
  return s_systemStore.get();
}

// A counted reference to `store`, or null.
X509_STORE* Shared(X509_STORE* store) {
  return store != nullptr && X509_STORE_up_ref(store) == 1 ? store : nullptr;
}

// Looks a certificate or revocation list up by name in the shared store the
// lookup holds, the way OpenSSL searches a CA folder: every match is added to
// the handshake's own store (so OpenSSL can pick the right one of several with
// one name) and the first is returned borrowed, the caller taking its own
// reference. The shared store is never changed after it is built, so it is
// read without a lock.
int LookUpShared(X509_LOOKUP* lookup, X509_LOOKUP_TYPE type, const X509_NAME* name,
                 X509_OBJECT* result) {
  auto* shared = static_cast<X509_STORE*>(X509_LOOKUP_get_method_data(lookup));
  X509_STORE* own = X509_LOOKUP_get_store(lookup);
  if (shared == nullptr || own == nullptr || (type != X509_LU_X509 && type != X509_LU_CRL)) {
    return 0;
  }
  bool found = false;
  STACK_OF(X509_OBJECT)* objects = X509_STORE_get0_objects(shared);
  for (int i = 0; i < sk_X509_OBJECT_num(objects); ++i) {
    X509_OBJECT* object = sk_X509_OBJECT_value(objects, i);
    if (X509_OBJECT_get_type(object) != type) {
      continue;
    }
    if (type == X509_LU_X509) {
      X509* certificate = X509_OBJECT_get0_X509(object);
      if (X509_NAME_cmp(X509_get_subject_name(certificate), name) != 0 ||
          X509_STORE_add_cert(own, certificate) != 1) {
        continue;
      }
      if (!found && X509_OBJECT_set1_X509(result, certificate) == 1) {
        X509_free(certificate);  // borrowed, as the caller expects
        found = true;
      }
    } else {
      X509_CRL* list = X509_OBJECT_get0_X509_CRL(object);
      if (X509_NAME_cmp(X509_CRL_get_issuer(list), name) != 0 ||
          X509_STORE_add_crl(own, list) != 1) {
        continue;
      }
      if (!found && X509_OBJECT_set1_X509_CRL(result, list) == 1) {
        X509_CRL_free(list);
        found = true;
      }
    }
  }
  return found ? 1 : 0;
}

void FreeLookup(X509_LOOKUP* lookup) {
  X509_STORE_free(static_cast<X509_STORE*>(X509_LOOKUP_get_method_data(lookup)));
}

// The lookup method over a shared store; made once, lives as long as the process.
X509_LOOKUP_METHOD* SharedLookupMethod() {
  static X509_LOOKUP_METHOD* s_method = [] {
    X509_LOOKUP_METHOD* method = X509_LOOKUP_meth_new("shared trust store");
    if (method != nullptr && (X509_LOOKUP_meth_set_get_by_subject(method, &LookUpShared) != 1 ||
                              X509_LOOKUP_meth_set_free(method, &FreeLookup) != 1)) {
      X509_LOOKUP_meth_free(method);
      method = nullptr;
    }
    return method;
  }();
  return s_method;
}

}  // namespace

X509_STORE* AcquireTrustStore(const std::string& extraCaFile, CURLcode& error,
                              uint64_t* generation) {
  error = CURLE_OK;
  if (generation != nullptr)
    *generation = 0;
  FileStamp stamp;
  if (!extraCaFile.empty() && !StampFile(extraCaFile, stamp)) {
    error = CURLE_SSL_CACERT_BADFILE;
    return nullptr;
  }
  std::unique_lock<std::mutex> lock(s_mutex);
  X509_STORE* system = SystemStoreLocked();
  if (system == nullptr) {
    ERR_clear_error();
    error = CURLE_SSL_CACERT_BADFILE;
    return nullptr;
  }
  if (extraCaFile.empty()) {
    X509_STORE* store = Shared(system);
    error = store != nullptr ? CURLE_OK : CURLE_OUT_OF_MEMORY;
    return store;
  }
  auto found = s_extraStores.find(extraCaFile);
  const auto reuse = [&](ExtraStore& extra) {
    X509_STORE* store = Shared(extra.store.get());
    error = store != nullptr ? CURLE_OK : CURLE_OUT_OF_MEMORY;
    if (generation != nullptr)
      *generation = extra.generation;
    return store;
  };
  // The usual case: the file is as it was, and old enough to prove it.
  if (found != s_extraStores.end() && found->second.StampProvesUnchanged(stamp))
    return reuse(found->second);
  lock.unlock();
  const int64_t readAt = NowNs();
  std::string content;
  if (!ReadWholeFile(extraCaFile, content)) {
    error = CURLE_SSL_CACERT_BADFILE;
    return nullptr;
  }
  lock.lock();
  found = s_extraStores.find(extraCaFile);
  if (found != s_extraStores.end() && found->second.content == content) {
    found->second.stamp = stamp;
    found->second.readAtNs = readAt;
    return reuse(found->second);
  }
  StorePtr built = CopyObjects(system);
  if (built == nullptr) {
    error = CURLE_OUT_OF_MEMORY;
    return nullptr;
  }
  if (!AddPemContent(built.get(), content)) {
    ERR_clear_error();
    error = CURLE_SSL_CACERT_BADFILE;
    return nullptr;
  }
  X509_STORE* store = Shared(built.get());
  if (store == nullptr) {
    error = CURLE_OUT_OF_MEMORY;
    return nullptr;
  }
  if (found != s_extraStores.end()) {
    s_extraStores.erase(found);
  } else if (s_extraStores.size() >= kMaxExtraStores) {
    s_extraStores.erase(s_extraStores.begin());
  }
  // Contexts still holding a replaced store keep it alive by their reference.
  const uint64_t made = ++s_lastGeneration;
  s_extraStores[extraCaFile] =
      ExtraStore{std::move(content), std::move(built), stamp, readAt, made};
  if (generation != nullptr)
    *generation = made;
  return store;
}

CURLcode InstallTrustStore(SSL_CTX* context, const std::string& extraCaFile) {
  X509_STORE* own = SSL_CTX_get_cert_store(context);
  X509_LOOKUP_METHOD* method = SharedLookupMethod();
  if (own == nullptr || method == nullptr) {
    return CURLE_OUT_OF_MEMORY;
  }
  CURLcode error = CURLE_OK;
  X509_STORE* shared = AcquireTrustStore(extraCaFile, error);
  if (shared == nullptr) {
    return error;
  }
  X509_LOOKUP* lookup = X509_STORE_add_lookup(own, method);
  if (lookup == nullptr) {
    X509_STORE_free(shared);
    return CURLE_OUT_OF_MEMORY;
  }
  // A second call for the same context replaces the store the lookup held.
  X509_STORE_free(static_cast<X509_STORE*>(X509_LOOKUP_get_method_data(lookup)));
  X509_LOOKUP_set_method_data(lookup, shared);
  return CURLE_OK;
}
