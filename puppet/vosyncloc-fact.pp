# Publishes the vosyncloc locations as the fact vosyncloc: Facter reads the link
# from its next run on. With FACTER_vosyncloc_fact=absent in the environment, takes
# the fact away again.
$fact_link = $facts['vosyncloc_fact'] ? {
  'absent' => 'absent',
  default  => 'link',
}

if $fact_link == 'link' {
  file { ['/etc/facter', '/etc/facter/facts.d']:
    ensure => directory,
  }
}

file { '/etc/facter/facts.d/vosyncloc.fact':
  ensure => $fact_link,
  target => '/usr/share/vosyncloc/puppet/vosyncloc.fact',
}
