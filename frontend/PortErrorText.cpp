#include "frontend/PortErrorText.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "frontend/PlatformPort.h"
#include "resources/Strings.h"

namespace {

std::string UserName(uid_t uid) {
  if (const passwd* pw = getpwuid(uid)) return pw->pw_name;
  return Format(kStrUserId, {uid});
}

std::string GroupName(gid_t gid) {
  if (const group* gr = getgrgid(gid)) return gr->gr_name;
  return Format(kStrGroupId, {gid});
}

std::string ModeText(unsigned mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", mode & 07777u);
  return text;
}

std::string PermissionAdvice(const PortAccessFacts& facts) {
  if (!facts.known) return Text(kStrPortCheckPermissions);
  return Format(kStrPortAccessFacts, {facts.user, facts.owner, facts.group, ModeText(facts.mode)}) +
         Format(kStrPortAccessFix, {facts.group, facts.user});
}

std::string Advice(const PortError& error, const PortAccessFacts& facts) {
  switch (error.Meaning()) {
    case PortFailure::AccessDenied:
      return PermissionAdvice(facts);
    case PortFailure::Busy:
      return Text(kStrPortBusy);
    case PortFailure::NotFound:
      return Text(kStrPortMissing);
    case PortFailure::NotSerial:
      return Text(kStrPortNotTty);
    default:
      return {};
  }
}

}  // namespace

PortAccessFacts GatherPortAccessFacts(const std::string& devicePath) {
  PortAccessFacts facts;
  facts.user = UserName(geteuid());
  struct stat st {};
  if (stat(devicePath.c_str(), &st) != 0) return facts;
  facts.owner = UserName(st.st_uid);
  facts.group = GroupName(st.st_gid);
  facts.mode = static_cast<unsigned>(st.st_mode);
  facts.known = true;
  return facts;
}

std::string DescribePortError(const std::string& devicePath, const PortError& error,
                              const PortAccessFacts& facts) {
  return PortCannotOpenText(devicePath, error) + Advice(error, facts);
}
