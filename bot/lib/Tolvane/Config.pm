package Tolvane::Config;
# Everything the panel's dialogs wrote, read once when the bot starts:
# settings.txt, contact.txt, trustedlist.txt, the three buddy lists with
# their message files, and the bot's own optional Kavri.ini. A file that is
# missing, unreadable or not in the expected form never stops the bot
# unless it cannot sign on without it; each problem becomes a note that the
# bot writes below its status line in results.txt.
use strict;
use warnings;
use File::Spec;
use Tolvane::Files qw(read_file split_lines message_text parse_bar_list
  unsafe_name_reason);

# Screen names compare without case and without blanks.
sub norm {
    my ($name) = @_;
    $name = lc $name;
    $name =~ s/\s+//g;
    return $name;
}

# A name or piece of a file as it may stand inside a one-line note.
sub shown {
    my ($text, $max) = @_;
    $max ||= 60;
    $text =~ s/[\x00-\x1f\x7f]/?/g;
    $text = substr($text, 0, $max) . '...' if length $text > $max;
    return "\"$text\"";
}

my %DEFAULT_OPTIONS = (
    answer_interval => 3,     # minutes between two automatic answers to one buddy
    reconnect_delay => 15,    # seconds before the first new sign-on; 0: never
    script          => '',    # a conversation script: run without the network
    server          => '',    # host or host:port of the server to sign on to
);

sub load {
    my ($class, $dir) = @_;
    my $self = bless { dir => $dir, notes => [], fatal => undef }, $class;
    $self->_read_settings;
    $self->_read_contact;
    $self->_read_trusted;
    $self->{away}    = $self->_read_bar_messages('buddya.txt', 'a.txt', 'Away Messages');
    $self->{deliver} = $self->_read_bar_messages('buddym.txt', '.txt', 'Deliver Messages');
    $self->_read_schedule;
    $self->_read_options;
    return $self;
}

sub dir   { $_[0]{dir} }
sub notes { @{ $_[0]{notes} } }
sub note  { my ($self, $text) = @_; push @{ $self->{notes} }, $text }

# The reason the bot cannot sign on at all, or undef.
sub fatal { $_[0]{fatal} }

sub path { my ($self, $file) = @_; File::Spec->catfile($self->{dir}, $file) }

sub setting { $_[0]{settings}{ $_[1] } }
sub option  { $_[0]{options}{ $_[1] } }
sub contact { $_[0]{contact} }

sub owner {
    my ($self) = @_;
    my $owner = $self->{settings}{owner};
    return $owner ne '' ? $owner : 'the owner';
}

sub is_trusted { my ($self, $buddy) = @_; $self->{trusted}{ norm($buddy) } ? 1 : 0 }

# The custom away message of a buddy, or ''.
sub away_message {
    my ($self, $buddy) = @_;
    my $entry = $self->{away}{ norm($buddy) };
    return $entry ? $entry->{text} : '';
}

# The message left for a buddy in Deliver Messages: { name, file, text }, or
# undef when there is none.
sub delivery {
    my ($self, $buddy) = @_;
    my $entry = $self->{deliver}{ norm($buddy) };
    return $entry && $entry->{text} ne '' ? $entry : undef;
}

sub deliveries { values %{ $_[0]{deliver} } }

# The schedule entries of a buddy: a list of { minute, name, text }, where
# minute is the time of day in minutes after midnight.
sub schedule_of {
    my ($self, $buddy) = @_;
    my $key = norm($buddy);
    return grep { $_->{key} eq $key } @{ $self->{schedule} };
}

sub _read {
    my ($self, $file) = @_;
    return read_file($self->path($file));
}

sub _read_settings {
    my ($self) = @_;
    my %s = map { $_ => '' } qw(screen_name password ai_name owner away_text greeting);
    $s{$_} = 0 for qw(require_trusted save_away start_with_windows auto_connect);
    $self->{settings} = \%s;

    my ($data, $err, $missing) = $self->_read('settings.txt');
    unless (defined $data) {
        $self->{fatal} = $missing
          ? 'settings.txt is missing: open Settings, fill in your AIM user name and password, and press OK'
          : "Cannot read settings.txt ($err)";
        return;
    }
    my @lines = split_lines($data);
    if (@lines < 10) {
        $self->note(sprintf 'settings.txt has %d of its 10 lines: the missing ones count as empty'
              . ' (press OK in Settings to write them all)', scalar @lines);
    }
    push @lines, ('') x (10 - @lines) if @lines < 10;
    @s{qw(screen_name password ai_name owner)} = @lines[0 .. 3];
    my @flags = qw(require_trusted save_away start_with_windows auto_connect);
    for my $i (0 .. 3) {
        $s{ $flags[$i] } = substr($lines[ 4 + $i ], 0, 1) eq '1' ? 1 : 0;
    }
    @s{qw(away_text greeting)} = @lines[8, 9];
    # The Settings dialog composes lines 9 and 10 from the names; a file
    # written by hand may lack them.
    $s{away_text} = $s{owner} . ' is away right now. If you message the AI will provide you'
      . ' with custom away messages, contact, and location info'
      if $s{away_text} eq '';
    $s{greeting} = "Hello, you've reached $s{ai_name} in charge of taking messages for $s{owner}."
      . " He's not here right now, but please leave a message, or send the word info to get options"
      if $s{greeting} eq '';

    if ($s{screen_name} =~ /\A\s*\z/) {
        $self->{fatal} = 'No AIM user name in Settings: fill it in, press OK and start again';
    } elsif ($s{password} eq '') {
        $self->{fatal} = 'No AIM password in Settings: fill it in, press OK and start again';
    }
}

sub _read_contact {
    my ($self) = @_;
    my @fields = qw(phone homepage email cell websites);
    my %c = map { $_ => '' } @fields;
    $self->{contact} = \%c;
    my ($data, $err, $missing) = $self->_read('contact.txt');
    unless (defined $data) {
        $self->note("Cannot read contact.txt ($err): no contact details are given") unless $missing;
        return;
    }
    my @lines = split_lines($data);
    @c{@fields} = map { defined $_ ? $_ : '' } @lines[0 .. 4];
    s/\A\s+|\s+\z//g for values %c;
}

# The first line of a bar list, with a note for what is ignored. Returns the
# entries, or an empty list when the file is missing or unreadable.
sub _bar_entries {
    my ($self, $file, $what) = @_;
    my ($data, $err, $missing) = $self->_read($file);
    unless (defined $data) {
        $self->note("Cannot read $file ($err): $what not used") unless $missing;
        return ();
    }
    my @lines = split_lines($data);
    return () unless @lines;
    my ($entries, $rest) = parse_bar_list($lines[0]);
    $self->note("$file: the text after the last \"|\" is ignored: " . shown($rest))
      if $rest ne '';
    $self->note("$file: only the first line is read; the others are ignored")
      if grep { $_ ne '' } @lines[1 .. $#lines];
    return @$entries;
}

sub _read_trusted {
    my ($self) = @_;
    my %trusted;
    for my $name ($self->_bar_entries('trustedlist.txt', 'the trusted buddies are')) {
        my $key = norm($name);
        $trusted{$key} = 1 if $key ne '';
    }
    $self->{trusted} = \%trusted;
}

# A buddy's message file. Returns its text ('' when there is none), with a
# note when it is missing or unreadable.
sub _message {
    my ($self, $file, $name) = @_;
    my ($data, $err, $missing) = $self->_read($file);
    return message_text($data) if defined $data;
    $self->note($missing
        ? "$file is missing, so " . shown($name) . ' has no message there'
        : "Cannot read $file ($err), so " . shown($name) . ' has no message there');
    return '';
}

sub _read_bar_messages {
    my ($self, $list, $suffix, $dialog) = @_;
    my %by;
    for my $name ($self->_bar_entries($list, "the $dialog are")) {
        my $key = norm($name);
        next if $key eq '';
        if (my $why = unsafe_name_reason($name, $suffix)) {
            $self->note("$list: the buddy " . shown($name) . " is skipped: $why");
            next;
        }
        # The same buddy typed twice (perhaps in another case) keeps the
        # first message that is not empty.
        next if $by{$key} && $by{$key}{text} ne '';
        my $file = $name . $suffix;
        $by{$key} = { name => $name, file => $file, text => $self->_message($file, $name) };
    }
    return \%by;
}

sub _read_schedule {
    my ($self) = @_;
    my @entries;
    $self->{schedule} = \@entries;
    my ($data, $err, $missing) = $self->_read('schedule.txt');
    unless (defined $data) {
        $self->note("Cannot read schedule.txt ($err): the Schedule Message entries are not used")
          unless $missing;
        return;
    }
    my %text;
    my $number = 0;
    for my $line (split_lines($data)) {
        $number++;
        next if $line =~ /\A\s*\z/;
        my ($hours, $minutes, $name) = $line =~ /\A\s*(\d+):(\d+):(.*)\z/s;
        unless (defined $name) {
            $self->note("schedule.txt, line $number is not hours:minutes:buddy and is ignored: "
                  . shown($line));
            next;
        }
        if ($hours > 24 || $minutes > 60) {
            $self->note("schedule.txt, line $number has no time of day and is ignored: "
                  . shown($line));
            next;
        }
        my $key = norm($name);
        next if $key eq '';
        if (my $why = unsafe_name_reason($name, 's.txt')) {
            $self->note("schedule.txt: the buddy " . shown($name) . " is skipped: $why");
            next;
        }
        $text{$name} = $self->_message($name . 's.txt', $name) unless exists $text{$name};
        # 24:00 is midnight, 9:60 is 10:00.
        push @entries, {
            minute => ($hours * 60 + $minutes) % 1440,
            name   => $name,
            key    => $key,
            text   => $text{$name},
        };
    }
}

sub _read_options {
    my ($self) = @_;
    my %o = %DEFAULT_OPTIONS;
    $self->{options} = \%o;
    my ($data, $err, $missing) = $self->_read('Kavri.ini');
    unless (defined $data) {
        $self->note("Cannot read Kavri.ini ($err): the usual options are used") unless $missing;
        return;
    }
    my $number = 0;
    for my $line (split_lines($data)) {
        $number++;
        next if $line =~ /\A\s*(?:[#;].*)?\z/;
        my ($key, $value) = $line =~ /\A\s*([A-Za-z_]+)\s*=\s*(.*?)\s*\z/;
        unless (defined $key && exists $DEFAULT_OPTIONS{ lc $key }) {
            $self->note("Kavri.ini, line $number is not an option and is ignored: " . shown($line));
            next;
        }
        $key = lc $key;
        if ($key eq 'answer_interval' || $key eq 'reconnect_delay') {
            unless ($value =~ /\A\d+(?:\.\d+)?\z/) {
                $self->note("Kavri.ini: $key must be a number; $DEFAULT_OPTIONS{$key} is used");
                next;
            }
        }
        $o{$key} = $value;
    }
}

1;
