# Publishes the vosyncloc locations as the fact vosyncloc: Facter reads the link
# from its next run on.
file { ['/etc/facter', '/etc/facter/facts.d']:
  ensure => directory,
}

file { '/etc/facter/facts.d/vosyncloc.fact':
  ensure => link,
  target => '/usr/share/vosyncloc/puppet/vosyncloc.fact',
}
