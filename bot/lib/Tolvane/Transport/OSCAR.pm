package Tolvane::Transport::OSCAR;
# The transport for the real network, through the Perl package Net::OSCAR
# (the package that the panel's first run installs with "ppm install
# Net-OSCAR"). It is loaded only here, when the bot signs on for real, so a
# missing package is reported to the owner instead of stopping the script.
#
# The network speaks HTML in messages: messages in are turned into plain
# text, messages out are escaped.
use strict;
use warnings;

our $INSTALL = 'ppm install Net-OSCAR';

# Dies with { missing => 'Net::OSCAR', install => ... } when the package is
# not there.
sub new {
    my ($class, %args) = @_;
    unless (eval { require Net::OSCAR; 1 }) {
        my $error = $@;
        die { missing => 'Net::OSCAR', install => $INSTALL } if $error =~ m{Can't locate Net/OSCAR\.pm};
        $error =~ s/\s+\z//;
        die "Net::OSCAR cannot be loaded ($error); install it again with \"$INSTALL\"\n";
    }
    my $self = bless { queue => [], state => 'offline' }, $class;
    my $oscar = $self->{oscar} = Net::OSCAR->new();
    $oscar->set_callback_signon_done(sub { $self->_signed_on });
    $oscar->set_callback_im_in(sub { $self->_im_in(@_) });
    $oscar->set_callback_error(sub { $self->_error(@_) });
    $oscar->set_callback_buddy_in(sub { $self->_buddy_in(@_) });
    $oscar->set_callback_buddy_info(sub { $self->_buddy_info(@_) });
    $oscar->set_callback_connection_changed(sub { $self->_connection_changed(@_) });
    return $self;
}

sub now { time }

sub _push { my ($self, %event) = @_; push @{ $self->{queue} }, \%event }

sub html_to_text {
    my ($html) = @_;
    my $text = defined $html ? $html : '';
    $text =~ s/<br\s*\/?>/\n/gi;
    $text =~ s/<[^>]*>//g;
    my %named = (lt => '<', gt => '>', amp => '&', quot => '"', apos => "'", nbsp => ' ');
    $text =~ s/&(lt|gt|amp|quot|apos|nbsp);/$named{lc $1}/gie;
    $text =~ s/&#(\d+);/$1 < 256 ? chr($1) : '?'/ge;
    $text =~ s/&#x([0-9a-f]+);/hex($1) < 256 ? chr(hex $1) : '?'/gie;
    return $text;
}

sub text_to_html {
    my ($text) = @_;
    $text =~ s/&/&amp;/g;
    $text =~ s/</&lt;/g;
    $text =~ s/>/&gt;/g;
    $text =~ s/\r?\n/<br>/g;
    return $text;
}

# What a sign-on or connection error means for the owner.
sub reason_of {
    my ($description) = @_;
    my $d = defined $description ? $description : '';
    return 'password' if $d =~ /password|screen ?name|nick|invalid (?:account|user)/i;
    return 'rate' if $d =~ /rate|too (?:many|often|fast|frequent)/i;
    return 'network'
      if $d =~ /connect|resolve|host|network|timed? ?out|refused|unreachable|socket|lookup/i;
    return 'other';
}

sub signon {
    my ($self, %account) = @_;
    my @where;
    if ($account{server}) {
        my ($host, $port) = split /:/, $account{server}, 2;
        push @where, host => $host;
        push @where, port => $port if $port;
    }
    $self->{state} = 'signing_on';
    my $ok = eval {
        $self->{oscar}->signon(
            screenname => $account{screen_name},
            password   => $account{password},
            @where
        );
        1;
    };
    unless ($ok) {
        (my $why = "$@") =~ s/\s+at \S+ line \d+.*//s;
        $self->{state} = 'offline';
        $self->_push(type => 'signon_failed', reason => reason_of($why) eq 'other' ? 'network'
              : reason_of($why), detail => $why);
    }
}

sub poll {
    my ($self, $wait) = @_;
    if ($self->{state} ne 'offline') {
        $self->{oscar}->timeout($wait);
        my $ok = eval { $self->{oscar}->do_one_loop; 1 };
        unless ($ok) {
            (my $why = "$@") =~ s/\s+\z//;
            $self->_lost($why);
        }
    } else {
        select(undef, undef, undef, $wait);
    }
    my @events = @{ $self->{queue} };
    $self->{queue} = [];
    return @events;
}

sub send_im {
    my ($self, $to, $text) = @_;
    return 0 unless $self->{state} eq 'online';
    # The third argument marks the message as an automatic reply, so that
    # other answering programs leave it unanswered.
    my $ok = eval { $self->{oscar}->send_im($to, text_to_html($text), 1); 1 };
    return $ok ? 1 : 0;
}

sub _signed_on {
    my ($self) = @_;
    $self->{state} = 'online';
    $self->_push(type => 'signed_on');
}

sub _lost {
    my ($self, $why) = @_;
    my $was = $self->{state};
    return if $was eq 'offline';
    $self->{state} = 'offline';
    if ($was eq 'signing_on') {
        $self->_push(type => 'signon_failed', reason => reason_of($why), detail => $why);
    } else {
        $self->_push(type => 'disconnected', detail => $why);
    }
}

sub _im_in {
    my ($self, $oscar, $sender, $message, $is_away) = @_;
    $self->_push(type => 'im', from => "$sender", text => html_to_text($message),
        auto => $is_away ? 1 : 0);
}

sub _error {
    my ($self, $oscar, $connection, $error, $description, $fatal) = @_;
    $self->_lost(defined $description ? $description : "error $error") if $fatal;
}

sub _buddy_in {
    my ($self, $oscar, $name, $group, $data) = @_;
    $self->_push(type => 'buddy_online', who => "$name");
    # An away buddy's message comes later, as buddy information.
    eval { $oscar->get_away($name) } if ref $data eq 'HASH' && $data->{away};
}

sub _buddy_info {
    my ($self, $oscar, $name, $data) = @_;
    return unless ref $data eq 'HASH' && defined $data->{awaymsg} && $data->{awaymsg} ne '';
    $self->_push(type => 'buddy_away', who => "$name", text => html_to_text($data->{awaymsg}));
}

# Connections come and go while signing on (the login server hands over to
# another); only the loss of the main connection while online matters.
sub _connection_changed {
    my ($self, $oscar, $connection, $status) = @_;
    return unless defined $status && $status eq 'deleted' && $self->{state} eq 'online';
    my $bos = Net::OSCAR::Common->can('CONNTYPE_BOS');
    my $type = ref $connection && eval { $connection->{conntype} };
    return if $bos && defined $type && $type ne $bos->();
    $self->_lost('the server closed the connection');
}

1;
