# Sourced by the scripts for what each of them needs alike.
brindlecap_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Runs the calling script again, once, in a private mount namespace (as root):
# there the fixture mounts drives of exact sizes and the slow drives, and they go
# with the namespace. Call it as: brindlecap_private_namespace "$0" "$@"
brindlecap_private_namespace() {
  if [ -z "${BRINDLECAP_IN_NAMESPACE:-}" ] && unshare -m --propagation private true 2>/dev/null; then
    BRINDLECAP_IN_NAMESPACE=1 exec unshare -m --propagation private "$@"
  fi
}
