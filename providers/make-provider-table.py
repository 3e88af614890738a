#!/usr/bin/env python3
"""Converts serviceproviders.xml (mobile-broadband-provider-info) into the C++ tables of
providers/ProviderDatabase.h.

    make-provider-table.py --xml serviceproviders.xml --output ProviderTable.cpp
        --function vantaro::providers::BuiltInProviderDatabase
        (--version TEXT | --version-from-package NAME)
        [--version-constant kProviderDatabaseVersion] [--report report.json]
        [--dedication dedication.txt]

Only the GSM/UMTS part of each provider is read, and only providers that list a network id can be
found, so only those are kept. Texts are kept as the database has them, blanks at either end
removed. Anything the tables cannot hold as the database means it (a network id that is not
three digits and two or three, a usage or plan the format does not know, a provider without a
name, a balance code that is not digits, '*' and '#', XML that does not parse) stops the
conversion with a message and a non-zero exit, and no output is left behind: the program never
carries half a table.
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

XML_LANG = '{http://www.w3.org/XML/1998/namespace}lang'

# Must match ApnUsage in ProviderDatabase.h; the generated source checks it when it compiles.
USAGES = {
    'internet': ('Internet', 1),
    'mms': ('Mms', 2),
    'wap': ('Wap', 3),
    'ia': ('InitialAttach', 4),
    'mms-internet-hipri': ('MmsInternetHipri', 5),
    'mms-internet-hipri-fota': ('MmsInternetHipriFota', 6),
}
PLANS = {'prepaid': 1, 'postpaid': 2}
# primary="true" first, then the providers that do not say, then primary="false".
PRIMARY_RANK = {'true': 0, None: 1, 'false': 2}
INDEX_LIMIT = 0xFFFF
# As kLongestUssdCode in phone/Ussd.h: a code the program would refuse to send is no code.
BALANCE_CODE = re.compile(r'[0-9*#]{1,160}')
DEDICATION_START = 'THIS WORK IS IN PUBLIC DOMAIN'


class ConversionError(Exception):
    pass


def text_of(element):
    return (element.text or '').strip() if element is not None else ''


def chosen_name(elements):
    """The name without a language, else the English one, else the first."""
    for wanted in (lambda e: e.get(XML_LANG) is None, lambda e: e.get(XML_LANG) == 'en', lambda e: True):
        for element in elements:
            if wanted(element):
                return text_of(element)
    return ''


def where(country, provider_name):
    return 'country "%s", provider "%s"' % (country, provider_name)


def read_apn(apn, place):
    if apn.get('value') is None:
        raise ConversionError('%s: an <apn> without its value' % place)
    usages = apn.findall('usage')
    if len(usages) > 1:
        raise ConversionError('%s, APN "%s": more than one <usage>' % (place, apn.get('value')))
    usage = 0
    if usages:
        kind = usages[0].get('type')
        if kind not in USAGES:
            raise ConversionError('%s, APN "%s": unknown usage "%s"' % (place, apn.get('value'), kind))
        usage = USAGES[kind][1]
    plans = 0
    for plan in apn.findall('plan'):
        kind = plan.get('type')
        if kind not in PLANS:
            raise ConversionError('%s, APN "%s": unknown plan "%s"' % (place, apn.get('value'), kind))
        plans |= PLANS[kind]
    dns = [text_of(d) for d in apn.findall('dns') if text_of(d)]
    return {
        'apn': apn.get('value').strip(),
        'name': chosen_name(apn.findall('name')),
        'userName': text_of(apn.find('username')),
        'password': text_of(apn.find('password')),
        'dns1': dns[0] if len(dns) > 0 else '',
        'dns2': dns[1] if len(dns) > 1 else '',
        'usage': usage,
        'plans': plans,
    }


def read_balance_code(gsm, place):
    """The USSD code that asks the balance, '' when the provider gives none. A provider that
    lists several (one per kind of account) has its first kept: the database's order is its
    own choice of the usual one."""
    checks = gsm.findall('balance-check')
    if len(checks) > 1:
        raise ConversionError('%s: more than one <balance-check>' % place)
    codes = [text_of(code) for code in checks[0].findall('ussd')] if checks else []
    for code in codes:
        if not BALANCE_CODE.fullmatch(code):
            raise ConversionError('%s: balance code "%s" is not 1 to 160 digits, * and #' % (place, code))
    return codes[0] if codes else ''


def read_database(path):
    """The providers that list a network id, in the database's order, and the dedication."""
    parser = ET.XMLPullParser(events=('comment', 'end'))
    comments = []
    root = None
    try:
        with open(path, 'rb') as source:
            for chunk in iter(lambda: source.read(1 << 16), b''):
                parser.feed(chunk)
                for event, element in parser.read_events():
                    if event == 'comment':
                        comments.append(element.text or '')
                    else:
                        root = element
        parser.close()
        for event, element in parser.read_events():
            if event == 'end':
                root = element
    except ET.ParseError as error:
        raise ConversionError('%s is not well-formed XML: %s' % (path, error))
    except OSError as error:
        raise ConversionError('cannot read %s: %s' % (path, error))

    if root is None or root.tag != 'serviceproviders':
        raise ConversionError('%s: the root element is not <serviceproviders>' % path)
    if not (root.get('format') or '').startswith('2.'):
        raise ConversionError('%s: format "%s" is not the 2.x format this converter reads' % (path, root.get('format')))

    providers = []
    skipped = {'withoutGsm': 0, 'withoutNetworkId': 0}
    for country in root.findall('country'):
        code = country.get('code') or '?'
        for provider in country.findall('provider'):
            name = chosen_name(provider.findall('name'))
            if not name:
                raise ConversionError('country "%s": a provider without a name' % code)
            place = where(code, name)
            primary = provider.get('primary')
            if primary not in PRIMARY_RANK:
                raise ConversionError('%s: primary="%s" is neither true nor false' % (place, primary))
            gsms = provider.findall('gsm')
            if len(gsms) > 1:
                raise ConversionError('%s: more than one <gsm>' % place)
            if not gsms:
                skipped['withoutGsm'] += 1
                continue
            networks = []
            for network in gsms[0].findall('network-id'):
                mcc, mnc = network.get('mcc'), network.get('mnc')
                if mcc is None or mnc is None or not re.fullmatch(r'[0-9]{3}', mcc) \
                        or not re.fullmatch(r'[0-9]{2,3}', mnc):
                    raise ConversionError('%s: network id mcc="%s" mnc="%s" is not three digits and two or three'
                                          % (place, mcc, mnc))
                if (mcc, mnc) not in networks:
                    networks.append((mcc, mnc))
            if not networks:
                skipped['withoutNetworkId'] += 1
                continue
            providers.append({
                'name': name,
                'rank': PRIMARY_RANK[primary],
                'networks': networks,
                'apns': [read_apn(apn, place) for apn in gsms[0].findall('apn')],
                'balanceCode': read_balance_code(gsms[0], place),
            })
    if not providers:
        raise ConversionError('%s: no provider lists a GSM network id' % path)

    dedication = next((c for c in comments if c.strip().startswith(DEDICATION_START)), None)
    authors = next((c for c in comments if c.strip().startswith('Authors:')), None)
    return providers, skipped, dedication, authors


def network_key(mcc, mnc):
    # As NetworkKey() in NetworkId.h: MCC, then the MNC's length, then the MNC.
    return int(mcc) * 10000 + len(mnc) * 1000 + int(mnc)


class StringPool:
    def __init__(self):
        self.data = bytearray(b'\0')
        self.offsets = {'': 0}

    def add(self, text):
        if text not in self.offsets:
            self.offsets[text] = len(self.data)
            self.data += text.encode('utf-8') + b'\0'
        return self.offsets[text]


def build_tables(providers):
    pool = StringPool()
    network_providers = {}
    for index, provider in enumerate(providers):
        for mcc, mnc in provider['networks']:
            network_providers.setdefault(network_key(mcc, mnc), []).append(index)
    keys = sorted(network_providers)
    provider_list, provider_start = [], [0]
    for key in keys:
        # Stable: the database's order within each rank.
        provider_list += sorted(network_providers[key], key=lambda i: providers[i]['rank'])
        provider_start.append(len(provider_list))
    names, balance_codes, apns, apn_start = [], [], [], [0]
    for provider in providers:
        names.append(pool.add(provider['name']))
        balance_codes.append(pool.add(provider['balanceCode']))
        for apn in provider['apns']:
            apns.append([pool.add(apn[field]) for field in ('apn', 'name', 'userName', 'password', 'dns1', 'dns2')]
                        + [apn['usage'], apn['plans']])
        apn_start.append(len(apns))
    for what, count in (('providers', len(providers)), ('APNs', len(apns)),
                        ('provider entries of the network ids', len(provider_list))):
        if count > INDEX_LIMIT:
            raise ConversionError('%d %s do not fit the 16-bit indexes of the tables' % (count, what))
    if len(pool.data) > 0xFFFFFFFF:
        raise ConversionError('the text pool does not fit 32-bit offsets')
    return {
        'pool': pool.data, 'keys': keys, 'providerStart': provider_start, 'providerList': provider_list,
        'names': names, 'balanceCodes': balance_codes, 'apnStart': apn_start, 'apns': apns,
    }


def wrapped(values, per_line):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append('    ' + ', '.join(str(v) for v in values[i:i + per_line]) + ',')
    return '\n'.join(lines)


def cpp_string(text):
    return '"' + ''.join(chr(b) if b < 128 and (chr(b).isalnum() or chr(b) in ' .-_+:/') else '\\%03o' % b
                         for b in text.encode('utf-8')) + '"'


def cpp_source(tables, function, version, version_constant):
    namespace, _, name = function.rpartition('::')
    usage_checks = '\n'.join('static_assert(static_cast<int>(ApnUsage::%s) == %d);' % (enum, number)
                             for enum, number in sorted(USAGES.values(), key=lambda v: v[1]))
    apn_rows = '\n'.join('    {%s, ApnUsage{%d}, %d},' % (', '.join(str(v) for v in row[:6]), row[6], row[7])
                         for row in tables['apns'])
    version_definition = ''
    if version_constant:
        version_definition = '\nextern const char %s[] = %s;\n' % (version_constant, cpp_string(version))
    return '''// Generated at build time by providers/make-provider-table.py from serviceproviders.xml
// (mobile-broadband-provider-info %(version)s). Do not edit: the build writes it anew.

#include "providers/ProviderDatabase.h"

namespace %(namespace)s {

using vantaro::providers::ApnRecord;
using vantaro::providers::ApnUsage;
using vantaro::providers::ProviderDatabase;
using vantaro::providers::StringOffset;
using vantaro::providers::TableIndex;

%(usage_checks)s

namespace {

const char kStrings[%(pool_size)d] = {
%(pool)s
};

const std::uint32_t kNetworkKeys[] = {
%(keys)s
};

const TableIndex kNetworkProviderStart[] = {
%(provider_start)s
};

const TableIndex kNetworkProviders[] = {
%(provider_list)s
};

const StringOffset kProviderNames[] = {
%(names)s
};

const StringOffset kProviderBalanceCodes[] = {
%(balance_codes)s
};

const TableIndex kProviderApnStart[] = {
%(apn_start)s
};

const ApnRecord kApns[] = {
%(apns)s
};

const ProviderDatabase kDatabase = {
    %(version_text)s,
    kStrings, sizeof kStrings,
    kNetworkKeys, kNetworkProviderStart, kNetworkProviders, %(network_count)d,
    kProviderNames, kProviderBalanceCodes, kProviderApnStart, %(provider_count)d,
    kApns, %(apn_count)d,
};

} // namespace
%(version_definition)s
const ProviderDatabase& %(name)s() { return kDatabase; }

} // namespace %(namespace)s
''' % {
        'version': version, 'namespace': namespace, 'name': name, 'usage_checks': usage_checks,
        'pool_size': len(tables['pool']), 'pool': wrapped([b if b < 128 else b - 256 for b in tables['pool']], 24),
        'keys': wrapped(tables['keys'], 10), 'provider_start': wrapped(tables['providerStart'], 16),
        'provider_list': wrapped(tables['providerList'], 16), 'names': wrapped(tables['names'], 12),
        'balance_codes': wrapped(tables['balanceCodes'], 12),
        'apn_start': wrapped(tables['apnStart'], 16), 'apns': apn_rows, 'version_text': cpp_string(version),
        'network_count': len(tables['keys']), 'provider_count': len(tables['names']),
        'apn_count': len(tables['apns']), 'version_definition': version_definition,
    }


def table_bytes(tables):
    """What the arrays take in a 32-bit build: 4-byte keys and offsets, 2-byte indexes, 28-byte APNs."""
    return (len(tables['pool']) + 4 * len(tables['keys']) + 2 * len(tables['providerStart'])
            + 2 * len(tables['providerList']) + 4 * len(tables['names']) + 4 * len(tables['balanceCodes'])
            + 2 * len(tables['apnStart'])
            + 28 * len(tables['apns']))


def package_version(package):
    try:
        result = subprocess.run(['dpkg-query', '-W', '-f=${Version}', package], capture_output=True, text=True,
                                timeout=60)
    except (OSError, subprocess.TimeoutExpired) as error:
        raise ConversionError('cannot ask dpkg for the version of %s (%s); give it with --version' % (package, error))
    if result.returncode != 0 or not result.stdout.strip():
        raise ConversionError('dpkg knows no installed %s; give the database version with --version' % package)
    return result.stdout.strip()


def dedication_text(version, dedication, authors):
    lines = ['The operator settings that Vantaro proposes (APN, user name, password, DNS servers) come',
             'from mobile-broadband-provider-info %s (serviceproviders.xml), a database' % version,
             'dedicated to the public domain by its authors:', '']
    if authors:
        lines += [line.strip() for line in authors.strip().splitlines()] + ['']
    lines += [line.rstrip() for line in dedication.strip().splitlines()]
    return '\r\n'.join(lines) + '\r\n'


def write_whole(path, data):
    """The file appears whole under its name, or not at all."""
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(dir=folder, prefix='.' + os.path.basename(path) + '.')
    try:
        with os.fdopen(handle, 'wb') as out:
            out.write(data)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temporary, 0o666 & ~umask)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument('--xml', required=True)
    arguments.add_argument('--output', required=True)
    arguments.add_argument('--function', required=True, help='qualified name of the accessor to define')
    version = arguments.add_mutually_exclusive_group(required=True)
    version.add_argument('--version')
    version.add_argument('--version-from-package')
    arguments.add_argument('--version-constant')
    arguments.add_argument('--report')
    arguments.add_argument('--dedication')
    options = arguments.parse_args()

    outputs = [p for p in (options.output, options.report, options.dedication) if p]
    for path in outputs:
        if os.path.exists(path):
            os.unlink(path)
    try:
        if '::' not in options.function:
            raise ConversionError('--function needs a namespace: %s' % options.function)
        database_version = options.version or package_version(options.version_from_package)
        providers, skipped, dedication, authors = read_database(options.xml)
        if options.dedication and dedication is None:
            raise ConversionError('%s: no public-domain dedication ("%s") to put beside the program'
                                  % (options.xml, DEDICATION_START))
        tables = build_tables(providers)
        report = {
            'version': database_version,
            'networkIds': len(tables['keys']),
            'providers': len(tables['names']),
            'apns': len(tables['apns']),
            'balanceCodes': sum(1 for offset in tables['balanceCodes'] if offset),
            'providerEntries': len(tables['providerList']),
            'skippedProviders': skipped,
            'stringBytes': len(tables['pool']),
            'tableBytes': table_bytes(tables),
        }
        source = cpp_source(tables, options.function, database_version, options.version_constant)
    except ConversionError as error:
        print('make-provider-table: %s' % error, file=sys.stderr)
        return 1

    write_whole(options.output, source.encode('utf-8'))
    if options.report:
        write_whole(options.report, (json.dumps(report, indent=2, sort_keys=True) + '\n').encode('utf-8'))
    if options.dedication:
        # With a byte-order mark, so that Notepad reads the authors' names as UTF-8.
        write_whole(options.dedication, dedication_text(database_version, dedication, authors).encode('utf-8-sig'))
    print('make-provider-table: %s %s: %d network ids, %d providers, %d APNs, %d bytes of tables'
          % (os.path.basename(options.xml), database_version, report['networkIds'], report['providers'],
             report['apns'], report['tableBytes']))
    return 0


if __name__ == '__main__':
    sys.exit(main())
